// The 32-bit raster surface behind every picture: width × height colour values, row-major, top row
// first, contiguous. Assign shares the pixel block with the source until either side writes (copy on
// write), so handing a finished picture to a view costs nothing; both sides still behave as copies.
#pragma once

#include "view/Color32.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>

enum class TDrawMode { dmOpaque, dmBlend };
enum class TResamplerKind { Nearest, Linear };

inline constexpr std::string_view kNearestResamplerName = "TNearestResampler";
inline constexpr std::string_view kLinearResamplerName = "TLinearResampler";

// The surface's allocation failure: a std::bad_alloc whose message is the surface's own text.
class ESurfaceAllocError : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "Can't allocate the DIB handle"; }
};

struct TFloatRect {
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;
};

// Raw, writable access to a surface's pixels for a job (see TBitmap32::WritablePixels). Copying it is
// cheap; worker threads may each write their own pixels through it at the same time.
struct TPixelAccess {
    TColor32* Bits = nullptr; // nullptr when the surface is empty
    int32_t Width = 0;
    int32_t Height = 0;

    TColor32* Row(int32_t y) const { return Bits + static_cast<size_t>(y) * static_cast<size_t>(Width); }
    // Writes pixel (x, y) only when it lies on the surface; any other write is ignored.
    void SetPixelClipped(int32_t x, int32_t y, TColor32 colour) const {
        if (static_cast<uint32_t>(x) < static_cast<uint32_t>(Width) &&
            static_cast<uint32_t>(y) < static_cast<uint32_t>(Height))
            Row(y)[x] = colour;
    }
};

class TBitmap32 {
public:
    using ChangeHandler = std::function<void()>;

    // An empty surface: opaque draw mode, master alpha 255, nearest-neighbour resampler.
    TBitmap32();
    ~TBitmap32();
    TBitmap32(const TBitmap32&) = delete;
    TBitmap32& operator=(const TBitmap32&) = delete;
    TBitmap32(TBitmap32&& other) noexcept;
    TBitmap32& operator=(TBitmap32&& other) noexcept;

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    size_t PixelCount() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_); }

    // Size changes keep the other dimension and the pixels that stay on the surface at their (x, y);
    // new pixels are 0 and a negative size becomes 0. The change notification fires. When the pixels
    // cannot be allocated they throw ESurfaceAllocError (a std::bad_alloc) and the surface stays
    // exactly as it was.
    void SetWidth(int32_t width);
    void SetHeight(int32_t height);
    void SetSize(int32_t width, int32_t height);
    // As SetSize, but reports an allocation failure by returning false (surface unchanged).
    [[nodiscard]] bool TrySetSize(int32_t width, int32_t height);

    // Pixel (x, y), or 0 when it lies outside the surface.
    TColor32 Pixel(int32_t x, int32_t y) const;
    // Writes pixel (x, y) only when 0 <= x < width and 0 <= y < height; no notification per write.
    void SetPixelClipped(int32_t x, int32_t y, TColor32 colour);
    // Every pixel takes the colour.
    void Clear(TColor32 colour);
    // Fills columns x1 .. x2-1 of rows y1 .. y2-1, clipped to the surface.
    void FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 colour);
    // Copies size, pixels, draw mode, master alpha and resampler of `source`, then notifies. The
    // pixels are shared until either surface writes. The own change handler is kept.
    void Assign(const TBitmap32& source);

    // Read-only pixels (nullptr when empty). Valid until the next change of this surface.
    const TColor32* Bits() const;
    // Makes the pixels this surface's own (the one copy-on-write step) and returns raw access to
    // them. Call it once before starting workers; the access stays valid until the next size
    // change, Assign, Clear, FillRect or move. Call Changed() when the writing is done.
    TPixelAccess WritablePixels();
    // Sets the size for a caller that will write every pixel: the pixel values are left unspecified
    // (nothing is copied or cleared). Throws ESurfaceAllocError with the surface unchanged. Call Changed()
    // when the writing is done.
    TPixelAccess ResizeForOverwrite(int32_t width, int32_t height);

    TDrawMode DrawMode() const { return drawMode_; }
    void SetDrawMode(TDrawMode mode) { drawMode_ = mode; }
    uint8_t MasterAlpha() const { return masterAlpha_; }
    void SetMasterAlpha(uint8_t alpha) { masterAlpha_ = alpha; }

    // "TNearestResampler" or "TLinearResampler"; any other name throws std::invalid_argument.
    void SetResamplerClassName(std::string_view className);
    std::string_view ResamplerClassName() const;
    TResamplerKind Resampler() const { return resampler_; }

    // (0, 0, width, height).
    TFloatRect BoundsRect() const;

    // Writes the surface as a 32-bit top-down BMP file, creating or replacing it (see view/BmpFile.h).
    void SaveToFile(const std::string& fileName) const;

    // The one change callback, called after every change of size or pixels made through this class.
    void SetOnChange(ChangeHandler handler);
    void Changed();

    // Whether both surfaces currently share one pixel block.
    bool SharesPixelsWith(const TBitmap32& other) const;

private:
    struct PixelBlock;

    static std::shared_ptr<PixelBlock> AllocateZeroed(size_t count);
    static std::shared_ptr<PixelBlock> AllocateUninitialised(size_t count);
    static std::shared_ptr<PixelBlock> Allocate(size_t count, bool zeroed);
    void Detach();
    void TakePixels(std::shared_ptr<PixelBlock> block, int32_t width, int32_t height);
    TColor32* MutableBits();

    std::shared_ptr<PixelBlock> pixels_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    TDrawMode drawMode_ = TDrawMode::dmOpaque;
    uint8_t masterAlpha_ = 255;
    TResamplerKind resampler_ = TResamplerKind::Nearest;
    ChangeHandler onChange_;
};
