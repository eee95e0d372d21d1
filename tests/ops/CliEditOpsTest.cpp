// orvane-cli edit: every operation through the built program, against the same edits run here.
#include "OpsTestSupport.h"

#include "../cli/CliRun.h"
#include "../signal/WavBytes.h"

#include "ops/FFTBandFilter.h"
#include "ops/FadeInOut.h"
#include "ops/FrequencyShift.h"
#include "ops/IQToReal.h"
#include "ops/InvertSpectrum.h"
#include "ops/LPFFilter.h"
#include "ops/NormalizePeak.h"
#include "signal/WavReader.h"
#include "signal/WavWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace opstest;

namespace {

class CliEdit : public ::testing::Test {
protected:
    wavtest::TempDir dir;

    std::string Save(const std::string& name, const SignalStore& store) {
        const std::string path = dir.File(name);
        EXPECT_EQ(SaveSignal(store, path, dir.Path().string(), [](const std::string&) {}), kWavWriteOk);
        return path;
    }
    clitest::CliRun Edit(const std::string& in, const std::string& out, const std::string& rest) {
        return clitest::RunCli("edit " + clitest::Quote(in) + " " + clitest::Quote(out) + " " + rest,
                               dir.File("stderr.txt"));
    }
    SignalStore Read(const std::string& path) {
        SignalStore store;
        EXPECT_TRUE(ReadWavFile(store, path).StoreReplaced);
        return store;
    }
};

} // namespace

TEST_F(CliEdit, ChainOfEditsWritesWhatTheSameClicksWouldSave) {
    const std::string in =
        Save("in.wav", MakeStore(Sum(Tone(40000, 1200, 48000, 9000), Noise(40000, 3000, 1))));
    const std::string out = dir.File("out.wav");
    const auto run =
        Edit(in, out,
             "--fft 256 amp invert fade lpf -5000 cos 3000 fft-filter 6000 200 2 sin 100 asr 44100 "
             "invert");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;

    SignalStore expected = Read(in);
    JobControl job;
    NormalizePeak(expected, 25000);
    InvertSpectrum(expected, 256);
    FadeInOut(expected, FadeCurveFor(expected.Samples.size()));
    LPFFilterStore(expected, 5000, job);
    CosShift(expected, 3000, job);
    FFTBandFilter(expected, 6000, 200, 2, job);
    SinShift(expected, 100, job);
    expected.SampleRate = 44100;
    InvertSpectrum(expected, 256);
    const std::string reference = Save("expected.wav", expected);
    EXPECT_EQ(wavtest::ReadFile(out), wavtest::ReadFile(reference));
}

TEST_F(CliEdit, ConversionOfAPairAndTheChannelItems) {
    const std::string in = Save("iq.wav", MakeStore(Noise(6000, 8000, 2), 2, 32000));
    const std::string out = dir.File("out.wav");
    const auto run = Edit(in, out, "invert-ch1 invert-ch2 iq2real invert-ch1 invert-ch2");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;

    SignalStore expected = Read(in);
    JobControl job;
    InvertChannel(expected, 0);
    InvertChannel(expected, 1);
    ConvertIQToReal(expected, job); // one channel now: the channel items are disabled
    const SignalStore result = Read(out);
    EXPECT_EQ(result.ChannelCount, 1);
    EXPECT_EQ(result.SampleRate, 64000);
    EXPECT_EQ(Values(result), Values(expected));
}

TEST_F(CliEdit, ChannelsAndFFTSizeDecideWhatInvertDoes) {
    const std::vector<int16_t> values = Noise(512, 1000, 3);
    const std::string in = Save("in.wav", MakeStore(values));
    const std::string small = dir.File("small.wav");
    const std::string large = dir.File("large.wav");
    const std::string pair = dir.File("pair.wav");
    ASSERT_EQ(Edit(in, small, "--fft 512 invert").ExitCode, 0);
    ASSERT_EQ(Edit(in, large, "--fft 1024 invert").ExitCode, 0); // the store is shorter than N
    ASSERT_EQ(Edit(in, pair, "--fft 1024 channels 2 invert channels 1").ExitCode, 0);

    SignalStore inverted = MakeStore(values);
    InvertSpectrumOneChannel(inverted, 512);
    SignalStore framewise = MakeStore(values, 2);
    InvertSpectrumTwoChannels(framewise);
    EXPECT_EQ(Values(Read(small)), Values(inverted));
    EXPECT_EQ(Values(Read(large)), values);
    EXPECT_EQ(Values(Read(pair)), Values(framewise));
    EXPECT_EQ(Read(pair).ChannelCount, 1);
}

TEST_F(CliEdit, RefusedInputsChangeNothing) {
    const std::vector<int16_t> values = Noise(3000, 12000, 4);
    const std::string in = Save("in.wav", MakeStore(values, 1, 48000));
    const std::string out = dir.File("out.wav");
    const auto run =
        Edit(in, out,
             "sin 48001 cos -48000.5 lpf 47999.5 fft-filter 24001 0 1 fft-filter 0 -24001 9 asr 0 "
             "asr -44100 invert-ch1 invert-ch2");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const SignalStore result = Read(out);
    EXPECT_EQ(Values(result), values);
    EXPECT_EQ(result.SampleRate, 48000);
}

TEST_F(CliEdit, ANumberTheFieldWouldRejectWritesNothingAndExitsTwo) {
    const std::string in = Save("in.wav", MakeStore(Noise(1000, 1000, 5)));
    for (const std::string ops : {"amp sin abc", "asr 4.5", "fft-filter 3000 1e3 1", "lpf ''", "cos 1,5"}) {
        const std::string out = dir.File("out.wav");
        const auto run = Edit(in, out, ops);
        EXPECT_EQ(run.ExitCode, 2) << ops;
        EXPECT_FALSE(std::filesystem::exists(out)) << ops;
        EXPECT_NE(run.Err.find("is not a valid"), std::string::npos) << ops << ": " << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << ops << ": " << run.Err;
    }
}

TEST_F(CliEdit, BadOperationUsageExitsTwoWithUsage) {
    const std::string in = Save("in.wav", MakeStore(Noise(1000, 1000, 6)));
    for (const std::string ops :
         {"fft-filter 0 0 10", "fft-filter 0 0 0", "sin", "fft-filter 1 2", "channels 3", "louder"}) {
        const std::string out = dir.File("out.wav");
        const auto run = Edit(in, out, ops);
        EXPECT_EQ(run.ExitCode, 2) << ops;
        EXPECT_FALSE(std::filesystem::exists(out)) << ops;
        EXPECT_NE(run.Err.find("usage:"), std::string::npos) << ops;
    }
}
