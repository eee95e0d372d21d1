// render --axes: the picture framed by its title, frequency ruler, level legend and time scale, the
// picture itself untouched inside.
#include "CliRun.h"

#include "../signal/WavBytes.h"
#include "../view/PngDecode.h"

#include "signal/WavWriter.h"
#include "view/PictureWithAxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace clitest;

namespace {

class CliRenderAxes : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        // One second of a 1000 Hz tone in stereo at 8000 Hz.
        std::vector<int16_t> values(16000);
        for (size_t i = 0; i < values.size(); ++i)
            values[i] =
                int16_t(std::lround(8000 * std::sin(2 * std::numbers::pi * 1000 * double(i / 2) / 8000)));
        WavFormatRecord record;
        record.SampleRate = 8000;
        record.ChannelCount = 2;
        record.Data = values;
        input = dir.File("in.wav");
        ASSERT_EQ(WriteWavFile(input, record), kWavWriteOk);
    }
    pngtest::DecodedPng Render(const std::string& out, const std::string& extra) {
        const CliRun run =
            RunCli("render " + Quote(input) + " " + Quote(dir.File(out)) + " " + GetParam() + extra,
                   dir.File("stderr.txt"));
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        return pngtest::DecodePng(dir.File(out));
    }
    wavtest::TempDir dir;
    std::string input;
};

uint32_t PixelAt(const pngtest::DecodedPng& png, uint32_t x, uint32_t y) {
    const uint8_t* p = png.Bgra.data() + 4 * (size_t(y) * png.Width + x);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

// Whether some pixel of the rectangle is not the white paper: something is written there.
bool Inked(const pngtest::DecodedPng& png, uint32_t left, uint32_t top, uint32_t right, uint32_t bottom) {
    for (uint32_t y = top; y < bottom; ++y)
        for (uint32_t x = left; x < right; ++x)
            if (PixelAt(png, x, y) != 0xFFFFFFu) return true;
    return false;
}

} // namespace

TEST_P(CliRenderAxes, FramesThePlainPictureUntouched) {
    const pngtest::DecodedPng plain = Render("plain.png", "");
    const pngtest::DecodedPng framed = Render("framed.png", " --axes");
    ASSERT_TRUE(plain.Ok && framed.Ok);
    ASSERT_GT(framed.Width, plain.Width + kAxesPictureLeft);
    ASSERT_GT(framed.Height, plain.Height + kAxesPictureTop);
    for (uint32_t y = 0; y < plain.Height; ++y)
        for (uint32_t x = 0; x < plain.Width; ++x)
            ASSERT_EQ(PixelAt(framed, x + kAxesPictureLeft, y + kAxesPictureTop), PixelAt(plain, x, y))
                << x << ", " << y;
    const uint32_t right = kAxesPictureLeft + plain.Width;
    const uint32_t bottom = kAxesPictureTop + plain.Height;
    EXPECT_TRUE(Inked(framed, 0, 0, framed.Width, kAxesPictureTop)) << "title";
    EXPECT_TRUE(Inked(framed, right, kAxesPictureTop, framed.Width, bottom)) << "ruler and legend";
    EXPECT_TRUE(Inked(framed, 0, bottom, right, framed.Height)) << "time scale";
}

INSTANTIATE_TEST_SUITE_P(Settings, CliRenderAxes,
                         ::testing::Values("--fft 256", "--fft 64 --palette Rainbow", "--fft 512 --view iq",
                                           "--fft 16 --image-width 8 --window Hann"));
