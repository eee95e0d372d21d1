// orvane-cli render end to end: a generated recording in, a BMP file out.
#include "../cli/CliRun.h"
#include "../signal/WavBytes.h"
#include "SpectrogramTestSupport.h"

#include "signal/WavReader.h"
#include "spectral/RecomputeSpectrogram.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace clitest;
using namespace wavtest;

namespace {

uint32_t Le32(const Bytes& bytes, size_t offset) {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

class RenderCli : public ::testing::Test {
protected:
    TempDir dir;
    std::string input;

    void SetUp() override {
        // One second of a 3000 Hz tone at 48000 Hz, mono.
        Fmt mono;
        mono.Channels = 1;
        mono.BlockAlign = 2;
        input = dir.Write("tone.wav", Canonical(mono, Values(spectest::Tone(48000, 3000, 48000, 8000))));
    }
    CliRun Run(const std::string& args) { return RunCli(args, dir.File("stderr.txt")); }
};

} // namespace

TEST_F(RenderCli, WritesTheSpectrogramAsABmpAndPrintsItsSize) {
    const std::string out = dir.File("tone.bmp");
    const CliRun run = Run("render " + Quote(input) + " " + Quote(out));
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "image: 49x512 - 0.096 Mb bmp\n");

    const Bytes bmp = ReadFile(out);
    ASSERT_EQ(bmp.size(), 54u + 49u * 512u * 4u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Le32(bmp, 18), 49u);
    EXPECT_EQ(static_cast<int32_t>(Le32(bmp, 22)), -512);

    // The pixels are those the engine computes for the same file and default settings.
    SignalStore store;
    ASSERT_TRUE(ReadWavFile(store, input).StoreReplaced);
    SpectrogramState state;
    JobControl control;
    RecomputeSpectrogram(state, store, SpectrogramSettings{}, control);
    ASSERT_EQ(state.SpectrogramBitmap.PixelCount(), 49u * 512u);
    EXPECT_EQ(std::memcmp(bmp.data() + 54, state.SpectrogramBitmap.Bits(), 49 * 512 * 4), 0);
}

TEST_F(RenderCli, OptionsReachTheEngineAndThePalette) {
    const std::string out = dir.File("grey.bmp");
    const CliRun run =
        Run("render " + Quote(input) + " " + Quote(out) +
            " --fft 256 --image-width 2 --window Hann --gain 8000 --channels 2 --palette Grayscale");
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    // 48000 values, N = 256, d = 2: r = 187.5, W = round(377.5) + 1 = 378 + 1, ties to even.
    EXPECT_EQ(run.Out, "image: 379x128 - 0.185 Mb bmp\n");
    const Bytes bmp = ReadFile(out);
    ASSERT_EQ(bmp.size(), 54u + 379u * 128u * 4u);
    bool lit = false;
    for (size_t i = 54; i < bmp.size(); i += 4) {
        ASSERT_EQ(bmp[i], bmp[i + 1]); // grey: blue = green = red
        ASSERT_EQ(bmp[i + 1], bmp[i + 2]);
        lit = lit || bmp[i] > 26; // above the palette's darkest entry
    }
    EXPECT_TRUE(lit);
}

TEST_F(RenderCli, RefusedImageWritesNothingAndExitsOne) {
    const std::string out = dir.File("huge.bmp");
    const CliRun run = Run("render " + Quote(input) + " " + Quote(out) + " --fft 8388608 --image-width 4096");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out.rfind("image: ERRR!0x0 - ", 0), 0u) << run.Out;
    EXPECT_EQ(run.Out.substr(run.Out.size() - 8), " Mb bmp\n");
    // The widest picture that fits: at "X / 16" its columns of N / 2 rows stay below 501 MB, at
    // "X / 32" twice as many do not.
    EXPECT_EQ(run.Err,
              "orvane-cli: " + out +
                  ": not written: the picture is too large; --image-width 16 fits at --fft 8388608\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(RenderCli, BadUsageExitsTwoAndAnUnreadableInputOne) {
    const std::string out = dir.File("x.bmp");
    for (const std::string& args :
         std::vector<std::string>{"render", "render " + Quote(input),
                                  "render " + Quote(input) + " " + Quote(out) + " --palette Blue",
                                  "render " + Quote(input) + " " + Quote(out) + " --fft 1000"}) {
        const CliRun run = Run(args);
        EXPECT_EQ(run.ExitCode, 2) << args;
        EXPECT_NE(run.Err.find("usage"), std::string::npos) << args;
    }
    const CliRun missing = Run("render " + Quote(dir.File("missing.wav")) + " " + Quote(out));
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Err, "orvane-cli: " + dir.File("missing.wav") + ": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

// Recordings with no values: a WAV file of a header only and an empty file (read as raw data). Each gives
// the smallest picture, 3 columns of silence above the marker row, for small and large transforms.
TEST_F(RenderCli, RecordingsWithoutValuesGiveAPictureOfSilence) {
    Fmt mono;
    mono.Channels = 1;
    mono.BlockAlign = 2;
    const std::vector<std::string> inputs = {dir.Write("header.wav", Canonical(mono, {})),
                                             dir.Write("empty.wav", Bytes{})};
    for (const std::string& file : inputs) {
        for (const int32_t n : {1024, 32768}) {
            const std::string out = dir.File("silence.bmp");
            const CliRun run =
                Run("render " + Quote(file) + " " + Quote(out) + " --fft " + std::to_string(n));
            ASSERT_EQ(run.ExitCode, 0) << file << " " << run.Err;
            const int32_t height = n / 2;
            const Bytes bmp = ReadFile(out);
            ASSERT_EQ(bmp.size(), 54u + 3u * static_cast<size_t>(height) * 4u) << file;
            for (int32_t y = 0; y < height; ++y) {
                for (int32_t x = 0; x < 3; ++x) {
                    const uint32_t pixel = Le32(bmp, 54 + (static_cast<size_t>(y) * 3 + x) * 4);
                    const uint32_t want =
                        y < height - 1 ? kOpaqueBlack : MarkerPixel(Color32(0, 0, 128), x, y);
                    ASSERT_EQ(pixel, want) << file << " N " << n << " at " << x << "," << y;
                }
            }
        }
    }
}
