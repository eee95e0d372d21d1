#include "view/TBitmap32.h"

#include <gtest/gtest.h>

#include <limits>
#include <thread>
#include <vector>

namespace {

// Every pixel of the surface, row-major.
std::vector<TColor32> PixelsOf(const TBitmap32& b) {
    std::vector<TColor32> pixels;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) pixels.push_back(b.Pixel(x, y));
    return pixels;
}

// A w × h surface whose pixel (x, y) is 0xFF000000 + 256·y + x.
TBitmap32 Numbered(int w, int h) {
    TBitmap32 b;
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixelClipped(x, y, 0xFF000000u + 256u * y + x);
    return b;
}

} // namespace

TEST(TBitmap32, NewSurfaceIsEmptyWithDefaults) {
    const TBitmap32 b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Bits(), nullptr);
    EXPECT_EQ(b.DrawMode(), TDrawMode::dmOpaque);
    EXPECT_EQ(b.MasterAlpha(), 255);
    EXPECT_EQ(b.ResamplerClassName(), "TNearestResampler");
    const TFloatRect r = b.BoundsRect();
    EXPECT_EQ(r.Right, 0.0f);
    EXPECT_EQ(r.Bottom, 0.0f);
}

TEST(TBitmap32, SizeChangesKeepOtherDimensionAndZeroNewPixels) {
    TBitmap32 b;
    b.SetWidth(5);
    EXPECT_TRUE(b.Empty());
    b.SetHeight(3);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(15, 0u));
    b.Clear(kOpaqueBlack);
    EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(15, kOpaqueBlack));

    b.SetWidth(7); // grows: old pixels stay where they were, new columns are 0
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Pixel(4, 2), kOpaqueBlack);
    EXPECT_EQ(b.Pixel(5, 0), 0u);
    EXPECT_EQ(b.Pixel(6, 2), 0u);
    b.SetHeight(4);
    EXPECT_EQ(b.Width(), 7);
    EXPECT_EQ(b.Pixel(0, 3), 0u);
    EXPECT_EQ(b.Pixel(0, 2), kOpaqueBlack);

    const TFloatRect r = b.BoundsRect();
    EXPECT_EQ(r.Left, 0.0f);
    EXPECT_EQ(r.Top, 0.0f);
    EXPECT_EQ(r.Right, 7.0f);
    EXPECT_EQ(r.Bottom, 4.0f);
}

TEST(TBitmap32, ShrinkKeepsTheOverlapAndNegativeSizesBecomeZero) {
    TBitmap32 b = Numbered(4, 3);
    b.SetSize(2, 2);
    EXPECT_EQ(PixelsOf(b), (std::vector<TColor32>{0xFF000000u, 0xFF000001u, 0xFF000100u, 0xFF000101u}));
    b.SetWidth(-5);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_TRUE(b.Empty());
    b.SetSize(-1, -1);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
}

TEST(TBitmap32, ClippedWritesOutsideChangeNothing) {
    TBitmap32 b;
    b.SetSize(4, 3);
    const TColor32 red = Color32(255, 0, 0);
    for (auto [x, y] : {std::pair{-1, 0},
                        {4, 0},
                        {0, 3},
                        {0, -1},
                        {std::numeric_limits<int32_t>::min(), 1},
                        {std::numeric_limits<int32_t>::max(), 1}})
        b.SetPixelClipped(x, y, red);
    EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(12, 0u));
    b.SetPixelClipped(3, 2, red);
    EXPECT_EQ(b.Pixel(3, 2), red);
    EXPECT_EQ(b.Bits()[2 * 4 + 3], red); // element y * width + x
    EXPECT_EQ(b.Pixel(4, 2), 0u);

    const TPixelAccess raw = b.WritablePixels();
    raw.SetPixelClipped(-1, 0, red);
    raw.SetPixelClipped(0, 3, red);
    raw.SetPixelClipped(0, 0, red);
    EXPECT_EQ(b.Pixel(0, 0), red);
    EXPECT_EQ(b.Pixel(3, 1), 0u);
}

TEST(TBitmap32, FillRectIsClippedAndClearFillsAll) {
    TBitmap32 b;
    b.SetSize(4, 3);
    b.FillRect(-2, 1, 2, 10, 7u); // columns 0 and 1 of rows 1 and 2
    EXPECT_EQ(PixelsOf(b), (std::vector<TColor32>{0, 0, 0, 0, 7, 7, 0, 0, 7, 7, 0, 0}));
    b.FillRect(3, 0, 1, 3, 9u); // inverted: nothing
    b.FillRect(0, 0, 0, 3, 9u); // zero width: nothing
    EXPECT_EQ(b.Pixel(0, 0), 0u);
    b.FillRect(0, 0, 4, 3, kOpaqueWhite);
    EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(12, kOpaqueWhite));
}

TEST(TBitmap32, AssignCopiesSizePixelsAndDrawingProperties) {
    TBitmap32 source = Numbered(3, 2);
    source.SetDrawMode(TDrawMode::dmBlend);
    source.SetMasterAlpha(128);
    TBitmap32 target;
    target.SetResamplerClassName("TLinearResampler");
    target.Assign(source);
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(target.Height(), 2);
    EXPECT_EQ(PixelsOf(target), PixelsOf(source));
    EXPECT_EQ(target.DrawMode(), TDrawMode::dmBlend);
    EXPECT_EQ(target.MasterAlpha(), 128);
    EXPECT_EQ(target.Resampler(), TResamplerKind::Nearest); // the source's choice comes along
    target.SetResamplerClassName("TLinearResampler");
    EXPECT_EQ(target.ResamplerClassName(), "TLinearResampler");
    EXPECT_EQ(source.Resampler(), TResamplerKind::Nearest);
    EXPECT_THROW(target.SetResamplerClassName("TCubicResampler"), std::invalid_argument);
    EXPECT_EQ(target.Resampler(), TResamplerKind::Linear);
}

// Assign shares the pixel block; every way of writing to either side must leave the other as it was.
TEST(TBitmap32, CopyOnWriteBehavesAsACopyBothWays) {
    const std::vector<TColor32> original = PixelsOf(Numbered(3, 2));
    using Write = void (*)(TBitmap32&);
    const std::pair<const char*, Write> writes[] = {
        {"pixel", [](TBitmap32& b) { b.SetPixelClipped(1, 1, 5u); }},
        {"clear", [](TBitmap32& b) { b.Clear(5u); }},
        {"fill part", [](TBitmap32& b) { b.FillRect(0, 0, 1, 1, 5u); }},
        {"fill all", [](TBitmap32& b) { b.FillRect(0, 0, 3, 2, 5u); }},
        {"raw", [](TBitmap32& b) { b.WritablePixels().Row(0)[0] = 5u; }},
        {"resize", [](TBitmap32& b) { b.SetWidth(2); }},
        {"overwrite", [](TBitmap32& b) { b.ResizeForOverwrite(3, 2).Bits[0] = 5u; }},
    };
    for (const auto& [name, write] : writes) {
        for (bool writeTarget : {true, false}) {
            TBitmap32 source = Numbered(3, 2);
            TBitmap32 target;
            target.Assign(source);
            ASSERT_TRUE(target.SharesPixelsWith(source));
            TBitmap32& written = writeTarget ? target : source;
            const TBitmap32& other = writeTarget ? source : target;
            write(written);
            EXPECT_EQ(PixelsOf(other), original) << name << (writeTarget ? " on the copy" : " on the source");
            EXPECT_NE(PixelsOf(written), original) << name;
            EXPECT_FALSE(written.SharesPixelsWith(other)) << name;
        }
    }
}

TEST(TBitmap32, AssigningAnEmptySurfaceEmptiesTheTarget) {
    TBitmap32 target = Numbered(2, 2);
    const TBitmap32 empty;
    target.Assign(empty);
    EXPECT_TRUE(target.Empty());
    EXPECT_EQ(target.Bits(), nullptr);
}

TEST(TBitmap32, ChangeNotificationFiresForSizeAndPixelChanges) {
    TBitmap32 b;
    int changes = 0;
    b.SetOnChange([&changes] { ++changes; });
    b.SetWidth(4);
    b.SetHeight(2);
    EXPECT_EQ(changes, 2);
    b.SetHeight(2); // the same size is no change
    EXPECT_EQ(changes, 2);
    b.Clear(1u);
    EXPECT_EQ(changes, 3);
    b.FillRect(0, 0, 1, 1, 2u);
    EXPECT_EQ(changes, 4);
    b.SetPixelClipped(0, 0, 3u); // per-pixel writes do not notify
    EXPECT_EQ(changes, 4);
    const TBitmap32 other = Numbered(1, 1);
    b.Assign(other);
    EXPECT_EQ(changes, 5);
    b.Changed();
    EXPECT_EQ(changes, 6);
}

TEST(TBitmap32, ImpossibleSizeIsReportedAndLeavesTheSurfaceAlone) {
    TBitmap32 b = Numbered(3, 2);
    const std::vector<TColor32> before = PixelsOf(b);
    int changes = 0;
    b.SetOnChange([&changes] { ++changes; });
    const int32_t huge = std::numeric_limits<int32_t>::max();
    EXPECT_FALSE(b.TrySetSize(huge, huge));
    EXPECT_THROW(b.SetSize(huge, huge), std::bad_alloc);
    try {
        b.SetSize(huge, huge);
        ADD_FAILURE() << "no allocation error";
    } catch (const ESurfaceAllocError& e) {
        EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
    }
    EXPECT_THROW(b.ResizeForOverwrite(huge, huge), std::bad_alloc);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(PixelsOf(b), before);
    EXPECT_EQ(changes, 0);
}

TEST(TBitmap32, MoveTransfersThePixels) {
    TBitmap32 a = Numbered(2, 2);
    const std::vector<TColor32> pixels = PixelsOf(a);
    TBitmap32 b = std::move(a);
    EXPECT_EQ(PixelsOf(b), pixels);
    a = std::move(b);
    EXPECT_EQ(PixelsOf(a), pixels);
}

// Workers write their own columns through one raw access taken after the copy-on-write step.
TEST(TBitmap32, WorkersWriteOwnColumnsThroughRawAccess) {
    TBitmap32 shared = Numbered(64, 16);
    TBitmap32 picture;
    picture.Assign(shared);
    const TPixelAccess raw = picture.WritablePixels();
    ASSERT_FALSE(picture.SharesPixelsWith(shared));
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([raw, t] {
            for (int x = t; x < raw.Width; x += 4)
                for (int y = 0; y < raw.Height; ++y)
                    raw.SetPixelClipped(x, y, static_cast<TColor32>(x * 1000 + y));
        });
    for (auto& w : workers) w.join();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(picture.Pixel(x, y), static_cast<TColor32>(x * 1000 + y));
    EXPECT_EQ(shared.Pixel(5, 5), 0xFF000505u);
}

// Surfaces of several megabytes take their pixels from mappings of their own: they start zeroed, keep
// their pixels when resized across that size both ways, and copy on write like small ones.
TEST(TBitmap32, LargeSurfacesZeroKeepAndCopyTheirPixels) {
    TBitmap32 b;
    b.SetSize(2048, 1024); // 8 MiB
    EXPECT_EQ(b.Pixel(2047, 1023), 0u);
    b.SetPixelClipped(2047, 1023, 9u);
    b.SetPixelClipped(3, 2, 7u);
    b.SetHeight(1200);
    EXPECT_EQ(b.Pixel(2047, 1023), 9u);
    EXPECT_EQ(b.Pixel(2047, 1199), 0u);
    TBitmap32 copy;
    copy.Assign(b);
    copy.SetSize(4, 3); // 48 bytes, from malloc
    EXPECT_EQ(copy.Pixel(3, 2), 7u);
    EXPECT_EQ(b.Pixel(2047, 1023), 9u);
    b.ResizeForOverwrite(1500, 1500).Bits[1500 * 1500 - 1] = 5u;
    EXPECT_EQ(b.Pixel(1499, 1499), 5u);
}
