#include "view/PeakShrink.h"

#include "signal/WorkerPool.h"
#include "view/LevelRanking.h"
#include "view/RowPeak.h"
#include "view/TBitmap32.h"

#include <algorithm>

namespace {

// Rows of the reduced picture below this many picture pixels in all are reduced on the calling thread.
constexpr int64_t kParallelPixels = 256 * 1024;

bool SamePlacement(const TViewPlacement& a, const TViewPlacement& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height &&
           a.BitmapWidth == b.BitmapWidth && a.BitmapHeight == b.BitmapHeight;
}

// The picture spans of the reduced picture's columns (or rows) along one axis.
std::vector<TPixelSpan> ReducedSpans(bool shrunk, int32_t viewFrom, int32_t viewTo, int64_t shift,
                                     int32_t source, int64_t drawn, TPixelSpan kept) {
    std::vector<TPixelSpan> spans;
    if (shrunk) {
        for (int32_t d = viewFrom; d < viewTo; ++d) spans.push_back(ShrunkSpan(d - shift, source, drawn));
    } else {
        for (int32_t s = kept.From; s < kept.To; ++s) spans.push_back({s, s + 1});
    }
    return spans;
}

// Spans from this many pixels on are reduced by StrongestInRow; shorter ones (down to the single pixels
// of an axis that is not shrunk) pixel by pixel, which costs less than setting up its maxima.
constexpr int32_t kRowPeakFrom = 16;

// Picture row `source` offered to the drawn pixels of the reduced row `line` whose spans are short:
// each keeps the first of the strongest pixels, those of rows above included (best holds their ranks).
void OfferShortSpans(const TColor32* source, const TLevelRanking& ranking,
                     const std::vector<TPixelSpan>& columns, int32_t* best, TColor32* line) {
    for (size_t c = 0; c < columns.size(); ++c) {
        const TPixelSpan span = columns[c];
        if (span.To - span.From >= kRowPeakFrom) continue;
        int32_t strongest = best[c];
        TColor32 shown = line[c];
        for (int32_t x = span.From; x < span.To; ++x) {
            const int32_t rank = ranking.Rank(source[x]);
            const bool stronger = rank > strongest;
            strongest = stronger ? rank : strongest;
            shown = stronger ? source[x] : shown;
        }
        best[c] = strongest;
        line[c] = shown;
    }
}

// The same for the long spans, through StrongestInRow. Kept apart from the short ones: a call within
// their loop would cost it the registers its pixels use.
void OfferLongSpans(const TColor32* source, const TLevelRanking& ranking,
                    const std::vector<TPixelSpan>& columns, int32_t* best, TColor32* line) {
    for (size_t c = 0; c < columns.size(); ++c) {
        const TPixelSpan span = columns[c];
        if (span.To - span.From < kRowPeakFrom) continue;
        const TRowPeak inRow = StrongestInRow(source, span.From, span.To, ranking);
        if (inRow.Rank > best[c]) {
            best[c] = inRow.Rank;
            line[c] = source[inRow.X];
        }
    }
}

// Reduces rows `from` .. `to` - 1 of the reduced picture. Each drawn pixel shows the first of its
// strongest picture pixels in row order: the strongest of its span in each row, kept when it beats the
// rows above.
void ReduceRows(const TBitmap32& bitmap, const TLevelRanking& ranking, const std::vector<TPixelSpan>& columns,
                const std::vector<TPixelSpan>& rows, size_t from, size_t to, TColor32* out) {
    const auto isLong = [](TPixelSpan span) { return span.To - span.From >= kRowPeakFrom; };
    // Spans differ in length by one pixel at most: most pictures have only short or only long ones.
    const bool anyLong = std::any_of(columns.begin(), columns.end(), isLong);
    const bool anyShort = !std::all_of(columns.begin(), columns.end(), isLong);
    std::vector<int32_t> best(columns.size());
    for (size_t r = from; r < to; ++r) {
        std::fill(best.begin(), best.end(), -1);
        TColor32* line = out + r * columns.size();
        for (int32_t y = rows[r].From; y < rows[r].To; ++y) {
            const TColor32* source = bitmap.Bits() + size_t(y) * size_t(bitmap.Width());
            if (anyShort) OfferShortSpans(source, ranking, columns, best.data(), line);
            if (anyLong) OfferLongSpans(source, ranking, columns, best.data(), line);
        }
    }
}

} // namespace

TPixelSpan ShrunkSpan(int64_t j, int32_t source, int64_t drawn) {
    return {int32_t(j * source / drawn), int32_t((j + 1) * source / drawn)};
}

bool ShrinksX(const TViewPlacement& placement) {
    return !placement.Empty() && placement.Width < placement.BitmapWidth;
}

bool ShrinksY(const TViewPlacement& placement) {
    return !placement.Empty() && placement.Height < placement.BitmapHeight;
}

TIntRect CoveredPixels(const TViewPlacement& placement, int32_t x, int32_t y) {
    const TBitmapPoint under = ControlToBitmap(placement, x, y);
    if (placement.Empty() || under.X < 0 || under.Y < 0 || under.X >= placement.BitmapWidth ||
        under.Y >= placement.BitmapHeight || x < placement.Left || y < placement.Top)
        return {};
    TIntRect cells{under.X, under.Y, under.X + 1, under.Y + 1};
    if (ShrinksX(placement)) {
        const TPixelSpan s = ShrunkSpan(x - placement.Left, placement.BitmapWidth, placement.Width);
        cells.Left = s.From;
        cells.Right = s.To;
    }
    if (ShrinksY(placement)) {
        const TPixelSpan s = ShrunkSpan(y - placement.Top, placement.BitmapHeight, placement.Height);
        cells.Top = s.From;
        cells.Bottom = s.To;
    }
    return cells;
}

TBitmapPoint StrongestPixel(const TBitmap32& bitmap, const TLevelRanking& ranking, const TIntRect& cells) {
    TBitmapPoint best{cells.Left, cells.Top};
    int32_t bestRank = -1;
    for (int32_t y = cells.Top; y < cells.Bottom; ++y)
        for (int32_t x = cells.Left; x < cells.Right; ++x) {
            const int32_t rank = ranking.Rank(bitmap.Pixel(x, y));
            if (rank > bestRank) {
                bestRank = rank;
                best = {x, y};
            }
        }
    return best;
}

void ShrinkToPeaks(const TBitmap32& bitmap, const TLevelRanking& ranking, const TViewPlacement& placement,
                   const TIntRect& visible, TPixelSpan sourceColumns, TPixelSpan sourceRows,
                   TPeakShrunkPicture& out) {
    out.Visible = visible;
    out.ShrunkX = ShrinksX(placement);
    out.ShrunkY = ShrinksY(placement);
    out.SourceLeft = out.ShrunkX ? 0 : sourceColumns.From;
    out.SourceTop = out.ShrunkY ? 0 : sourceRows.From;
    const std::vector<TPixelSpan> columns =
        ReducedSpans(out.ShrunkX, visible.Left, visible.Right, placement.Left, placement.BitmapWidth,
                     placement.Width, sourceColumns);
    const std::vector<TPixelSpan> rows = ReducedSpans(out.ShrunkY, visible.Top, visible.Bottom, placement.Top,
                                                      placement.BitmapHeight, placement.Height, sourceRows);
    out.Width = int32_t(columns.size());
    out.Height = int32_t(rows.size());
    out.Pixels.assign(columns.size() * rows.size(), 0);
    if (columns.empty() || rows.empty()) return;
    const int64_t covered =
        int64_t(columns.back().To - columns.front().From) * (rows.back().To - rows.front().From);
    const size_t threads = std::clamp<size_t>(WorkerPool::Shared().Threads(), 1, rows.size());
    const size_t bands = covered < kParallelPixels ? 1 : threads;
    const size_t step = (rows.size() + bands - 1) / bands;
    WorkerPool::Shared().Share(bands, [&](size_t band) {
        const size_t from = band * step;
        const size_t to = std::min(rows.size(), from + step);
        if (from < to) ReduceRows(bitmap, ranking, columns, rows, from, to, out.Pixels.data());
    });
}

const TPeakShrunkPicture* TPeakShrinkCache::Find(const TColor32* bits, const TLevelRanking* ranking,
                                                 const TViewPlacement& placement, const TIntRect& visible,
                                                 bool linear) const {
    const bool same = valid_ && bits == bits_ && ranking == ranking_ &&
                      SamePlacement(placement, placement_) && visible == picture_.Visible &&
                      linear == linear_;
    return same ? &picture_ : nullptr;
}

TPeakShrunkPicture& TPeakShrinkCache::Keep(const TColor32* bits, const TLevelRanking* ranking,
                                           const TViewPlacement& placement, bool linear) {
    valid_ = true;
    linear_ = linear;
    bits_ = bits;
    ranking_ = ranking;
    placement_ = placement;
    return picture_;
}
