#include "view/TByteMap.h"
#include "view/TBitmap32.h"

#include <gtest/gtest.h>

TEST(TByteMap, SizeValuesAndClipping) {
    TByteMap map(3, 2);
    EXPECT_EQ(map.Width(), 3);
    EXPECT_EQ(map.Height(), 2);
    EXPECT_EQ(map.Value(2, 1), 0);
    map.SetValue(2, 1, 77);
    map.SetValue(3, 1, 99);  // outside: ignored
    map.SetValue(-1, 0, 99); // outside: ignored
    EXPECT_EQ(map.Value(2, 1), 77);
    EXPECT_EQ(map.Bits()[1 * 3 + 2], 77);
    EXPECT_EQ(map.Value(3, 1), 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(map.Bits()[i], 0) << i;
    map.SetSize(-4, 2);
    EXPECT_TRUE(map.Empty());
}

TEST(TByteMap, ReadsWeightedIntensityAndWritesThroughPalette) {
    TBitmap32 source;
    source.SetSize(2, 2);
    source.SetPixelClipped(0, 0, Color32(255, 0, 0));
    source.SetPixelClipped(1, 0, Color32(0, 255, 0));
    source.SetPixelClipped(0, 1, Color32(0, 0, 255));
    source.SetPixelClipped(1, 1, Color32(255, 255, 255));
    TByteMap map;
    map.ReadFrom(source);
    ASSERT_EQ(map.Width(), 2);
    ASSERT_EQ(map.Height(), 2);
    EXPECT_EQ(map.Value(0, 0), 60);
    EXPECT_EQ(map.Value(1, 0), 173);
    EXPECT_EQ(map.Value(0, 1), 20);
    EXPECT_EQ(map.Value(1, 1), 255);

    TPalette32 palette{};
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = 0xAB000000u + static_cast<TColor32>(i);
    TBitmap32 target;
    target.SetSize(5, 7);
    target.SetResamplerClassName("TLinearResampler");
    int changes = 0;
    target.SetOnChange([&changes] { ++changes; });
    map.WriteTo(target, palette);
    EXPECT_EQ(target.Width(), 2);
    EXPECT_EQ(target.Height(), 2);
    EXPECT_EQ(target.Pixel(0, 0), 0xAB000000u + 60);
    EXPECT_EQ(target.Pixel(1, 0), 0xAB000000u + 173);
    EXPECT_EQ(target.Pixel(0, 1), 0xAB000000u + 20);
    EXPECT_EQ(target.Pixel(1, 1), 0xAB000000u + 255);
    EXPECT_EQ(target.Resampler(), TResamplerKind::Linear);
    EXPECT_EQ(changes, 1);
}
