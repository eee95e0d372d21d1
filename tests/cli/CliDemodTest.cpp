// orvane-cli demod: the audio file it writes (16-bit mono at 48000 Hz, as long as --from ... --to, the
// tone of the signal at a negative --freq), and its usage errors, each exit 2.
#include "CliRun.h"

#include "../demod/ToneMeasure.h"
#include "../signal/WavBytes.h"
#include "signal/WavWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

using namespace clitest;
using namespace wavtest;

namespace {

constexpr int32_t kRate = 48000;

// Three seconds of I/Q at 48000 Hz: an AM carrier at -6000 Hz with a 1 kHz tone.
std::string WriteAmRecording(const TempDir& dir) {
    std::vector<int16_t> values(size_t{2} * 3 * kRate);
    for (size_t k = 0; k < values.size() / 2; ++k) {
        const double t = static_cast<double>(k) / kRate;
        const double envelope = 8000 * (1 + 0.5 * std::cos(2 * std::numbers::pi * 1000 * t));
        values[2 * k] =
            static_cast<int16_t>(std::lround(envelope * std::cos(-2 * std::numbers::pi * 6000 * t)));
        values[2 * k + 1] =
            static_cast<int16_t>(std::lround(envelope * std::sin(-2 * std::numbers::pi * 6000 * t)));
    }
    WavFormatRecord record;
    record.ChannelCount = 2;
    record.SampleRate = kRate;
    record.Data = values;
    const std::string file = dir.File("am.wav");
    EXPECT_EQ(WriteWavFile(file, record), kWavWriteOk);
    return file;
}

template <class T> T Field(const Bytes& bytes, size_t offset) {
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

struct DemodUsage {
    const char* Name;
    const char* Args;  // after "demod IN OUT"
    const char* Error; // in the error line
};

void PrintTo(const DemodUsage& c, std::ostream* out) {
    *out << c.Name;
}

class CliDemodUsage : public ::testing::TestWithParam<DemodUsage> {};

} // namespace

TEST(CliDemod, WritesTheStretchAsMono16BitAudioAt48000Hz) {
    TempDir dir;
    const std::string in = WriteAmRecording(dir);
    const std::string out = dir.File("audio.wav");
    const CliRun run = RunCli("demod " + Quote(in) + " " + Quote(out) +
                                  " --mode aM --freq -6000 --from 0.5 --to=2.25 --quiet",
                              dir.File("err"));
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "audio: 84000 samples, 48000 Hz, 16-bit mono\n");
    const Bytes bytes = ReadFile(out);
    ASSERT_EQ(bytes.size(), WavFileSize(84000));
    EXPECT_EQ(Field<uint16_t>(bytes, 20), 1);      // PCM
    EXPECT_EQ(Field<uint16_t>(bytes, 22), 1);      // one channel
    EXPECT_EQ(Field<int32_t>(bytes, 24), 48000);   // Hz
    EXPECT_EQ(Field<uint16_t>(bytes, 34), 16);     // bits
    EXPECT_EQ(Field<uint32_t>(bytes, 44), 168000); // data bytes

    std::vector<int16_t> second(kRate);
    std::memcpy(second.data(), bytes.data() + 48 + 2 * kRate / 2, 2 * second.size());
    EXPECT_NEAR(demodtest::RisingZeroCrossings(second), 1000, 1);
    EXPECT_GT(demodtest::ToneSnrDb(second, 1000, kRate), 30);
}

TEST_P(CliDemodUsage, ExitsTwoWritingNothing) {
    TempDir dir;
    const std::string in = WriteAmRecording(dir);
    const std::string out = GetParam().Name == std::string("OutputIsTheInput") ? in : dir.File("audio.wav");
    const CliRun run =
        RunCli("demod " + Quote(in) + " " + Quote(out) + " " + GetParam().Args, dir.File("err"));
    EXPECT_EQ(run.ExitCode, 2);
    const std::string line = run.Err.substr(0, run.Err.find('\n'));
    EXPECT_TRUE(line.starts_with("orvane-cli: ")) << line;
    EXPECT_NE(line.find(GetParam().Error), std::string::npos) << line;
    EXPECT_FALSE(std::filesystem::exists(dir.File("audio.wav")));
}

INSTANTIATE_TEST_SUITE_P(
    , CliDemodUsage,
    ::testing::Values(
        DemodUsage{"NoMode", "--freq 1000", "--mode is required"},
        DemodUsage{"NoFrequency", "--mode fm", "--freq is required"},
        DemodUsage{"UnknownMode", "--mode ssb --freq 1000",
                   "--mode: 'ssb' is not one of AM, FM, WFM, USB, LSB, CW"},
        DemodUsage{"FrequencyNotANumber", "--mode am --freq 1,5",
                   "--freq: '1,5' is not a valid floating point value"},
        DemodUsage{"UnknownOption", "--mode am --freq 0 --fft 1024", "--fft: unknown option"},
        DemodUsage{
            "OutsideTheBand", "--mode am --freq -24001",
            "demod: refused: the frequency -24001 Hz is outside the recording's band -24000 ... 24000 Hz"},
        DemodUsage{"EndBeforeStart", "--mode usb --freq 0 --from 2 --to 1",
                   "demod: refused: the end 1 s is not after the start 2 s"},
        DemodUsage{"OutputIsTheInput", "--mode am --freq 0", "am.wav: is the input file"}),
    [](const auto& info) { return std::string(info.param.Name); });
