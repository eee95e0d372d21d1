// orvane-cli render to a name ending in .png (any case): a PNG that libpng reads back to the colours of
// the BMP the same command writes, for every palette.
#include "CliRun.h"

#include "../signal/WavBytes.h"
#include "../view/PngDecode.h"

#include "signal/WavWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace clitest;

namespace {

class CliRenderPng : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        // Two seconds of a 3000 Hz tone over a slow sweep at 8000 Hz.
        std::vector<int16_t> values(16000);
        for (size_t i = 0; i < values.size(); ++i) {
            const double t = double(i) / 8000;
            values[i] = int16_t(std::lround(5000 * std::sin(2 * std::numbers::pi * 3000 * t) +
                                            3000 * std::sin(2 * std::numbers::pi * (200 * t + 400 * t * t))));
        }
        WavFormatRecord record;
        record.SampleRate = 8000;
        record.Data = values;
        input = dir.File("in.wav");
        ASSERT_EQ(WriteWavFile(input, record), kWavWriteOk);
    }
    CliRun Render(const std::string& out) {
        return RunCli("render " + Quote(input) + " " + Quote(dir.File(out)) + " --palette " + GetParam() +
                          " --fft 256 --image-width 2",
                      dir.File("stderr.txt"));
    }
    wavtest::TempDir dir;
    std::string input;
};

} // namespace

TEST_P(CliRenderPng, PngHoldsTheColoursOfTheBmp) {
    const CliRun bmp = Render("p.bmp");
    ASSERT_EQ(bmp.ExitCode, 0) << bmp.Err;
    const wavtest::Bytes bmpBytes = wavtest::ReadFile(dir.File("p.bmp"));
    const size_t pixels = (bmpBytes.size() - 54) / 4;
    for (const char* name : {"p.png", "P.PNG"}) {
        const CliRun png = Render(name);
        ASSERT_EQ(png.ExitCode, 0) << png.Err;
        EXPECT_EQ(png.Out, bmp.Out) << "the same image text";
        const pngtest::DecodedPng decoded = pngtest::DecodePng(dir.File(name));
        ASSERT_TRUE(decoded.Ok) << name;
        EXPECT_EQ(decoded.Width, uint32_t(bmpBytes[18] | bmpBytes[19] << 8));
        EXPECT_EQ(size_t(decoded.Width) * decoded.Height, pixels);
        EXPECT_TRUE(pngtest::SameColours(decoded, bmpBytes.data() + 54, pixels)) << name;
    }
}
INSTANTIATE_TEST_SUITE_P(Palettes, CliRenderPng,
                         ::testing::Values("Spectrum", "Grayscale", "Greens", "Reds", "Rainbow"));
