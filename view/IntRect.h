// A half-open rectangle of whole pixels: Right and Bottom are the first pixels outside.
#pragma once

#include <algorithm>
#include <cstdint>

struct TIntRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    bool Empty() const { return Left >= Right || Top >= Bottom; }
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool operator==(const TIntRect&) const = default;
};

inline TIntRect Intersect(const TIntRect& a, const TIntRect& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}
