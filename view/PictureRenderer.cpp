#include "view/PictureRenderer.h"

#include "signal/WorkerPool.h"
#include "view/LerpRow.h"
#include "view/PeakShrink.h"
#include "view/TBitmap32.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr TColor32 kOpaque = 0xFF000000u;
// Areas below this many pixels are drawn on the calling thread alone.
constexpr int64_t kParallelPixels = 256 * 1024;
constexpr size_t kMaxBands = 8;
// Source rows at least this many pixels wide have their next row's samples prefetched (nearest).
constexpr size_t kPrefetchWidth = 8192;

// For each drawn pixel of one axis: the source pixel under its centre (nearest), or the two source
// pixels around it and the weight of the second in 1/256 (linear).
struct AxisSamples {
    std::vector<int32_t> First;
    std::vector<int32_t> Second;
    std::vector<uint32_t> Weight;
    std::vector<uint16_t> Weight4; // Weight, each repeated four times (one per channel)
};

// Source coordinate of the centre of drawn pixel d, in source pixels.
double SourceCentre(int32_t d, int64_t shift, double inverseFactor) {
    return (double(d) + 0.5 - double(shift)) * inverseFactor;
}

int32_t ClampIndex(double v, int32_t size) {
    if (!(v >= 0)) return 0;
    if (v >= double(size - 1)) return size - 1;
    return int32_t(v);
}

AxisSamples NearestAxis(int32_t from, int32_t to, int64_t shift, int32_t sourceSize, int64_t drawnSize) {
    AxisSamples s;
    s.First.reserve(size_t(to - from));
    const double inv = double(sourceSize) / double(drawnSize);
    for (int32_t d = from; d < to; ++d)
        s.First.push_back(ClampIndex(std::floor(SourceCentre(d, shift, inv)), sourceSize));
    return s;
}

AxisSamples LinearAxis(int32_t from, int32_t to, int64_t shift, int32_t sourceSize, int64_t drawnSize) {
    AxisSamples s;
    const size_t n = size_t(to - from);
    s.First.reserve(n);
    s.Second.reserve(n);
    s.Weight.reserve(n);
    const double inv = double(sourceSize) / double(drawnSize);
    for (int32_t d = from; d < to; ++d) {
        const double u = SourceCentre(d, shift, inv) - 0.5;
        const double base = std::floor(u);
        int32_t first = ClampIndex(base, sourceSize);
        int32_t second = ClampIndex(base + 1, sourceSize);
        uint32_t weight = uint32_t(std::lround((u - base) * 256.0));
        if (base < 0) second = first; // left of the first pixel's centre: no neighbour to blend with
        if (first == second) weight = 0;
        s.First.push_back(first);
        s.Second.push_back(second);
        s.Weight.push_back(weight);
        s.Weight4.insert(s.Weight4.end(), 4, uint16_t(weight));
    }
    return s;
}

void FillSpan(TColor32* row, int32_t from, int32_t to, TColor32 colour) {
    for (int32_t x = from; x < to; ++x) row[x] = colour;
}

void FillBackground(const TPixelAccess& t, const TIntRect& clip, const TIntRect& picture, TColor32 bg) {
    for (int32_t y = clip.Top; y < clip.Bottom; ++y) {
        TColor32* row = t.Row(y);
        if (y < picture.Top || y >= picture.Bottom || picture.Empty()) {
            FillSpan(row, clip.Left, clip.Right, bg);
            continue;
        }
        FillSpan(row, clip.Left, picture.Left, bg);
        FillSpan(row, picture.Right, clip.Right, bg);
    }
}

// Both resamplers draw the rows of one band at a time, so that several threads can share a picture.
struct PictureJob {
    const TPixelAccess& Target;
    const TColor32* Source;
    size_t SourceWidth;
    TIntRect Area; // the visible part of the picture, in view pixels
    AxisSamples Xs;
    AxisSamples Ys;

    const TColor32* SourceRow(int32_t index) const { return Source + size_t(index) * SourceWidth; }
    size_t Row(int32_t y) const { return size_t(y - Area.Top); }
    // Whether view row y shows exactly what the row above shows (both in the band from `top`).
    bool RepeatsRowAbove(int32_t y, int32_t top, bool linear) const {
        if (y <= top) return false;
        const size_t k = Row(y);
        if (Ys.First[k] != Ys.First[k - 1]) return false;
        return !linear || (Ys.Second[k] == Ys.Second[k - 1] && Ys.Weight[k] == Ys.Weight[k - 1]);
    }
    void CopyRowAbove(int32_t y) const {
        TColor32* out = Target.Row(y) + Area.Left;
        std::memcpy(out, out - Target.Width, size_t(Area.Width()) * sizeof(TColor32));
    }
    // Calls draw(y) for the view rows top .. bottom - 1, except those that repeat the row above,
    // which are copied.
    template <class Draw> void ForEachRow(int32_t top, int32_t bottom, bool linear, Draw&& draw) const {
        for (int32_t y = top; y < bottom; ++y) {
            if (RepeatsRowAbove(y, top, linear))
                CopyRowAbove(y);
            else
                draw(y);
        }
    }
};

void DrawNearestRows(const PictureJob& job, int32_t top, int32_t bottom) {
    const int32_t* xi = job.Xs.First.data();
    const int32_t w = job.Area.Width();
    job.ForEachRow(top, bottom, false, [&](int32_t y) {
        const TColor32* s = job.SourceRow(job.Ys.First[job.Row(y)]);
        TColor32* out = job.Target.Row(y) + job.Area.Left;
        // A picture much wider than the view puts every sample on its own cache line; the samples of
        // the next row are requested while this one is drawn, so that their fetches overlap.
        const TColor32* next = y + 1 < bottom ? job.SourceRow(job.Ys.First[job.Row(y + 1)]) : nullptr;
        if (next != nullptr && next != s && job.SourceWidth >= kPrefetchWidth) {
            for (int32_t x = 0; x < w; ++x) {
                __builtin_prefetch(next + xi[x]);
                out[x] = s[xi[x]] | kOpaque;
            }
            return;
        }
        for (int32_t x = 0; x < w; ++x) out[x] = s[xi[x]] | kOpaque;
    });
}

// Linear, for pictures drawn at about their size or larger: each source column of the visible span
// is blended vertically once per row, then the view pixels blend horizontally between those.
// `spanFirst` and `spanSecond` are the columns' indexes relative to the span's first column.
void DrawLinearRowsBySpan(const PictureJob& job, int32_t top, int32_t bottom,
                          const std::vector<int32_t>& spanFirst, const std::vector<int32_t>& spanSecond,
                          std::vector<TColor32>& span) {
    const int32_t w = job.Area.Width();
    const int32_t first = job.Xs.First.front();
    const int32_t count = int32_t(span.size());
    job.ForEachRow(top, bottom, true, [&](int32_t y) {
        const size_t k = job.Row(y);
        const TColor32* a = job.SourceRow(job.Ys.First[k]) + first;
        const TColor32* b = job.SourceRow(job.Ys.Second[k]) + first;
        const uint32_t wy = job.Ys.Weight[k];
        const TColor32* blended = a;
        if (wy != 0) {
            LerpRow(a, b, wy, span.data(), count);
            blended = span.data();
        }
        LerpGatherRow(blended, spanFirst.data(), spanSecond.data(), job.Xs.Weight4.data(),
                      job.Target.Row(y) + job.Area.Left, w, kOpaque);
    });
}

// A source row, or null when the picture is too narrow for prefetching to pay (see DrawNearestRows).
const TColor32* RowToPrefetch(const PictureJob& job, int32_t row) {
    return job.SourceWidth >= kPrefetchWidth ? job.SourceRow(row) : nullptr;
}

// Linear, for pictures drawn narrower than their size but taller: the four neighbours of each view
// pixel. View rows next to each other mostly share a source row, so each source row is blended
// horizontally once, kept for the two rows last used, and the view rows blend those vertically.
struct GatheredRows {
    explicit GatheredRows(size_t width)
        : Pixels{std::vector<TColor32>(width), std::vector<TColor32>(width)} {}
    std::vector<TColor32> Pixels[2];
    int32_t Source[2] = {-1, -1};
};

// The horizontal blend of source row `row`, gathered unless at hand, without evicting row `keep`;
// `ahead` is the row to prefetch meanwhile.
const TColor32* GatheredRow(const PictureJob& job, GatheredRows& rows, int32_t row, int32_t keep,
                            const TColor32* ahead) {
    for (int slot = 0; slot < 2; ++slot)
        if (rows.Source[slot] == row) return rows.Pixels[slot].data();
    const int slot = rows.Source[0] == keep ? 1 : 0;
    LerpGatherRow(job.SourceRow(row), job.Xs.First.data(), job.Xs.Second.data(), job.Xs.Weight4.data(),
                  rows.Pixels[slot].data(), job.Area.Width(), 0, ahead);
    rows.Source[slot] = row;
    return rows.Pixels[slot].data();
}

void DrawLinearRowsByGatheredRows(const PictureJob& job, int32_t top, int32_t bottom, GatheredRows& rows) {
    const int32_t w = job.Area.Width();
    job.ForEachRow(top, bottom, true, [&](int32_t y) {
        const size_t k = job.Row(y);
        const int32_t first = job.Ys.First[k];
        const int32_t second = job.Ys.Second[k];
        // the row after `second` is the one the next view rows will ask for
        const int32_t next = std::min(second + 1, int32_t(job.Ys.Second.back()));
        const TColor32* ahead = next != second ? RowToPrefetch(job, next) : nullptr;
        TColor32* out = job.Target.Row(y) + job.Area.Left;
        const TColor32* upper = GatheredRow(job, rows, first, second, ahead);
        if (job.Ys.Weight[k] == 0) {
            for (int32_t x = 0; x < w; ++x) out[x] = upper[x] | kOpaque;
            return;
        }
        const TColor32* lower = GatheredRow(job, rows, second, first, ahead);
        LerpRow(upper, lower, job.Ys.Weight[k], out, w);
        for (int32_t x = 0; x < w; ++x) out[x] |= kOpaque;
    });
}

// Linear, for pictures drawn smaller than their size in both directions: the four neighbours of each
// view pixel, from two source rows that the next view row does not share.
void DrawLinearRowsByPixel(const PictureJob& job, int32_t top, int32_t bottom) {
    const int32_t w = job.Area.Width();
    job.ForEachRow(top, bottom, true, [&](int32_t y) {
        const size_t k = job.Row(y);
        const TColor32* a = job.SourceRow(job.Ys.First[k]);
        TColor32* out = job.Target.Row(y) + job.Area.Left;
        const bool more = y + 1 < bottom;
        const TColor32* aheadA = more ? RowToPrefetch(job, job.Ys.First[k + 1]) : nullptr;
        const TColor32* aheadB = more ? RowToPrefetch(job, job.Ys.Second[k + 1]) : nullptr;
        if (job.Ys.Weight[k] == 0) {
            LerpGatherRow(a, job.Xs.First.data(), job.Xs.Second.data(), job.Xs.Weight4.data(), out, w,
                          kOpaque, aheadA);
        } else {
            LerpGatherRows(a, job.SourceRow(job.Ys.Second[k]), job.Xs.First.data(), job.Xs.Second.data(),
                           job.Xs.Weight4.data(), job.Ys.Weight[k], out, w, kOpaque, aheadA, aheadB);
        }
    });
}

// Splits rows top .. bottom into one band per thread of the worker pool when the area is large
// enough to gain from it; draw(band, top, bottom) runs for each band, shared by the calling thread
// and the pool's free threads.
template <class Draw>
void ForEachBand(int32_t top, int32_t bottom, int64_t pixels, size_t bands, Draw&& draw) {
    const int32_t rows = bottom - top;
    const size_t count = pixels < kParallelPixels ? 1 : std::min<size_t>(bands, size_t(rows));
    if (count <= 1) {
        draw(size_t(0), top, bottom);
        return;
    }
    const int32_t step = int32_t((size_t(rows) + count - 1) / count);
    WorkerPool::Shared().Share(count, [&draw, top, bottom, step](size_t i) {
        const int32_t from = top + int32_t(i) * step;
        const int32_t to = std::min(bottom, from + step);
        if (from < to) draw(i, from, to);
    });
}

size_t BandCount() {
    return std::clamp<size_t>(WorkerPool::Shared().Threads(), 1, kMaxBands);
}

// The picture's rectangle, clipped to what is to be drawn.
TIntRect VisiblePicture(const TViewPlacement& p, const TIntRect& clip) {
    if (p.Empty()) return {};
    const auto clamp = [](int64_t v, int32_t lo, int32_t hi) {
        return int32_t(std::clamp<int64_t>(v, lo, hi));
    };
    TIntRect r{clamp(p.Left, clip.Left, clip.Right), clamp(p.Top, clip.Top, clip.Bottom),
               clamp(p.Left + p.Width, clip.Left, clip.Right),
               clamp(p.Top + p.Height, clip.Top, clip.Bottom)};
    return r.Empty() ? TIntRect{} : r;
}

// Draws the job's area with its resampler; `tallEnough` when the source is drawn at least its height.
void DrawJob(const PictureJob& job, bool linear, bool tallEnough) {
    const TIntRect& d = job.Area;
    const int64_t pixels = int64_t(d.Width()) * d.Height();
    const size_t bands = BandCount();
    if (!linear) {
        ForEachBand(d.Top, d.Bottom, pixels, bands,
                    [&job](size_t, int32_t top, int32_t bottom) { DrawNearestRows(job, top, bottom); });
        return;
    }
    const size_t spanWidth = size_t(job.Xs.Second.back() - job.Xs.First.front() + 1);
    if (spanWidth > size_t(d.Width()) && tallEnough) {
        // the gathered rows of each band, allocated here so that no worker can fail
        std::vector<GatheredRows> gathered(bands, GatheredRows(size_t(d.Width())));
        ForEachBand(d.Top, d.Bottom, pixels, bands,
                    [&job, &gathered](size_t band, int32_t top, int32_t bottom) {
                        DrawLinearRowsByGatheredRows(job, top, bottom, gathered[band]);
                    });
        return;
    }
    if (spanWidth > size_t(d.Width())) {
        ForEachBand(d.Top, d.Bottom, pixels, bands,
                    [&job](size_t, int32_t top, int32_t bottom) { DrawLinearRowsByPixel(job, top, bottom); });
        return;
    }
    const auto relative = [first = job.Xs.First.front()](std::vector<int32_t> index) {
        for (int32_t& i : index) i -= first;
        return index;
    };
    const std::vector<int32_t> spanFirst = relative(job.Xs.First);
    const std::vector<int32_t> spanSecond = relative(job.Xs.Second);
    // one span buffer per band, allocated here so that no worker can fail
    std::vector<std::vector<TColor32>> spans(bands, std::vector<TColor32>(spanWidth));
    ForEachBand(d.Top, d.Bottom, pixels, bands,
                [&job, &spans, &spanFirst, &spanSecond](size_t band, int32_t top, int32_t bottom) {
                    DrawLinearRowsBySpan(job, top, bottom, spanFirst, spanSecond, spans[band]);
                });
}

// The samples of one axis of the reduced picture for view pixels from .. to - 1: along a shrunk axis
// view pixel d shows reduced pixel d - visibleFrom; along the others the resampler's own samples,
// counted from the reduced picture's first source pixel.
AxisSamples ReducedAxis(bool shrunk, bool linear, int32_t from, int32_t to, int32_t visibleFrom,
                        AxisSamples resampled, int32_t sourceFrom) {
    if (!shrunk) {
        for (int32_t& i : resampled.First) i -= sourceFrom;
        for (int32_t& i : resampled.Second) i -= sourceFrom;
        return resampled;
    }
    AxisSamples s;
    for (int32_t d = from; d < to; ++d) s.First.push_back(d - visibleFrom);
    if (linear) {
        s.Second = s.First;
        s.Weight.assign(s.First.size(), 0);
        s.Weight4.assign(4 * s.First.size(), 0);
    }
    return s;
}

// The source pixels the resampler reads along one axis for view pixels from .. to - 1.
TPixelSpan ReadSpan(const AxisSamples& samples, bool linear) {
    const auto [lo, hi] = std::minmax_element(samples.First.begin(), samples.First.end());
    TPixelSpan span{*lo, *hi + 1};
    if (linear && !samples.Second.empty()) {
        span.From = std::min(span.From, *std::min_element(samples.Second.begin(), samples.Second.end()));
        span.To = std::max(span.To, *std::max_element(samples.Second.begin(), samples.Second.end()) + 1);
    }
    return span;
}

} // namespace

void RenderPicture(const TPixelAccess& target, const TBitmap32& bitmap, const TViewPlacement& placement,
                   const TIntRect& clipRect, TColor32 background, const TLevelRanking* ranking,
                   TPeakShrinkCache* cache) {
    const TIntRect clip = Intersect(clipRect, {0, 0, target.Width, target.Height});
    if (clip.Empty() || target.Bits == nullptr) return;
    const bool drawable = !bitmap.Empty() && bitmap.Width() == placement.BitmapWidth &&
                          bitmap.Height() == placement.BitmapHeight;
    const TIntRect d = drawable ? VisiblePicture(placement, clip) : TIntRect{};
    FillBackground(target, clip, d, background | kOpaque);
    if (d.Empty()) return;
    const bool linear = bitmap.Resampler() == TResamplerKind::Linear;
    const auto axis = linear ? LinearAxis : NearestAxis;
    AxisSamples xs = axis(d.Left, d.Right, placement.Left, bitmap.Width(), placement.Width);
    AxisSamples ys = axis(d.Top, d.Bottom, placement.Top, bitmap.Height(), placement.Height);
    const bool shrinks = ShrinksX(placement) || ShrinksY(placement);
    if (ranking == nullptr || !shrinks) {
        const PictureJob job{target, bitmap.Bits(), size_t(bitmap.Width()), d, std::move(xs), std::move(ys)};
        DrawJob(job, linear, placement.Height >= bitmap.Height());
        return;
    }
    // The whole visible picture is reduced, whatever part is to be drawn, so that a repaint of a part
    // finds it kept.
    const TIntRect visible = VisiblePicture(placement, {0, 0, target.Width, target.Height});
    TPeakShrinkCache local;
    TPeakShrinkCache& kept = cache != nullptr ? *cache : local;
    const TPeakShrunkPicture* reduced = kept.Find(bitmap.Bits(), ranking, placement, visible, linear);
    if (reduced == nullptr) {
        const TPixelSpan columns = ReadSpan(
            axis(visible.Left, visible.Right, placement.Left, bitmap.Width(), placement.Width), linear);
        const TPixelSpan rows = ReadSpan(
            axis(visible.Top, visible.Bottom, placement.Top, bitmap.Height(), placement.Height), linear);
        TPeakShrunkPicture& fresh = kept.Keep(bitmap.Bits(), ranking, placement, linear);
        ShrinkToPeaks(bitmap, *ranking, placement, visible, columns, rows, fresh);
        reduced = &fresh;
    }
    const PictureJob job{target,
                         reduced->Pixels.data(),
                         size_t(reduced->Width),
                         d,
                         ReducedAxis(reduced->ShrunkX, linear, d.Left, d.Right, visible.Left, std::move(xs),
                                     reduced->SourceLeft),
                         ReducedAxis(reduced->ShrunkY, linear, d.Top, d.Bottom, visible.Top, std::move(ys),
                                     reduced->SourceTop)};
    DrawJob(job, linear, true);
}
