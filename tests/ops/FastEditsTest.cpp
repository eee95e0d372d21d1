// The low-pass filter, the I/Q conversion and the shifts against their straightforward versions
// (tests/support/ReferenceOps.h): the same values, bit for bit, for short, odd and long stores, several rates
// and frequencies, runs that go to the end and runs stopped at a poll.
#include "OpsTestSupport.h"

#include "ops/FrequencyShift.h"
#include "ops/IQToReal.h"
#include "ops/LPFFilter.h"
#include "ops/StoreLevel.h"
#include "support/ReferenceOps.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace opstest;

namespace {

using reference::kNever;
using reference::StopFrom;

struct WalkCase {
    const char* Name;
    size_t Length;
    int Amplitude; // noise of this amplitude; 32768 also puts a -32768 in the middle
    int32_t Rate;
    double Frequency; // cut-off (LPF) or generator frequency (shifts); unused by the I/Q conversion
    int64_t PollEvery;
    int64_t StopAt;    // a poll position of the walk, or kNever
    unsigned Threads;  // 0: one per core
    uint16_t Channels; // channel count of the store
};

std::ostream& operator<<(std::ostream& out, const WalkCase& c) {
    return out << c.Name;
}

std::string CaseName(const testing::TestParamInfo<WalkCase>& info) {
    return info.param.Name;
}

SignalStore StoreFor(const WalkCase& c) {
    std::vector<int16_t> values =
        Noise(c.Length, std::min(c.Amplitude, 32767), 17 + static_cast<unsigned>(c.Length));
    if (c.Amplitude > 32767 && !values.empty()) values[values.size() / 2] = -32768;
    return MakeStore(values, c.Channels, c.Rate);
}

void ExpectSameStores(const SignalStore& fast, const SignalStore& slow) {
    ASSERT_EQ(fast.Samples.size(), slow.Samples.size());
    for (size_t i = 0; i < fast.Samples.size(); ++i)
        ASSERT_EQ(fast.Samples[i], slow.Samples[i]) << "first difference at value " << i;
    EXPECT_EQ(fast.ChannelCount, slow.ChannelCount);
    EXPECT_EQ(fast.SampleRate, slow.SampleRate);
}

// Value walks (LPF, shifts) poll at 0, every PollEvery values and at the last multiple of 10.
const WalkCase kValueWalks[] = {
    {"Empty", 0, 1000, 48000, 5000, 30, kNever, 0, 1},
    {"OneValue", 1, 20000, 48000, 5000, 30, kNever, 0, 1},
    {"ShorterThanTheFilterPipeline", 23, 30000, 48000, 9000, 30, kNever, 0, 1},
    {"OddLengthManyPolls", 4099, 30000, 48000, 9000, 30, kNever, 2, 2},
    {"FullScaleWithMinus32768", 3001, 32768, 44100, 3000, 100, kNever, 0, 2},
    {"RateOne", 500, 12000, 1, 0.25, 50, kNever, 0, 1},
    {"LowRateHighFrequency", 2047, 25000, 8000, 7900, 40, kNever, 1, 1},
    {"StoppedAtTheFirstPoll", 900, 15000, 48000, 5000, 30, 0, 0, 1},
    {"StoppedPartway", 5000, 15000, 48000, 5000, 100, 2000, 2, 2},
    {"StoppedAtTheLastPoll", 4099, 15000, 48000, 5000, 30, 4090, 0, 1},
    {"ManyThreadChunksPerPoll", 100003, 20000, 48000, 12000, 40000, kNever, 2, 2},
    {"ManyThreadChunksStopped", 100003, 20000, 44100, 1234.5, 40000, 80000, 2, 2},
};

class LowPassWalk : public testing::TestWithParam<WalkCase> {};

TEST_P(LowPassWalk, GivesTheValuesOfTheValueByValueFilter) {
    const WalkCase& c = GetParam();
    SignalStore fast = StoreFor(c);
    SignalStore slow = fast;
    StopFrom fastPoll(c.StopAt);
    StopFrom slowPoll(c.StopAt);
    LPFFilterStore(fast, c.Frequency, fastPoll, c.PollEvery);
    reference::LPFFilterStore(slow, c.Frequency, slowPoll);
    ExpectSameStores(fast, slow);
}

INSTANTIATE_TEST_SUITE_P(Stores, LowPassWalk, testing::ValuesIn(kValueWalks), CaseName);

struct ShiftCase {
    WalkCase Walk;
    ShiftWave Wave;
};

std::vector<ShiftCase> ShiftCases() {
    std::vector<ShiftCase> cases;
    for (const WalkCase& c : kValueWalks) {
        cases.push_back({c, ShiftWave::Sine});
        cases.push_back({c, ShiftWave::Cosine});
    }
    // Frequencies whose phases meet whole turns: quarter, half and the full rate, and 0.
    for (const double f : {12000.0, 24000.0, 48000.0, 0.0}) {
        const WalkCase c{"WholeTurns", 9000, 30000, 48000, f, 1000, kNever, 2, 1};
        cases.push_back({c, ShiftWave::Sine});
        cases.push_back({c, ShiftWave::Cosine});
    }
    return cases;
}

std::ostream& operator<<(std::ostream& out, const ShiftCase& c) {
    return out << c.Walk.Name << (c.Wave == ShiftWave::Sine ? " Sin" : " Cos") << " at " << c.Walk.Frequency
               << " Hz";
}

class ShiftWalk : public testing::TestWithParam<ShiftCase> {};

TEST_P(ShiftWalk, GivesTheValuesOfTheBlockByBlockOscillator) {
    const ShiftCase& c = GetParam();
    SignalStore fast = StoreFor(c.Walk);
    SignalStore slow = fast;
    StopFrom fastPoll(c.Walk.StopAt);
    StopFrom slowPoll(c.Walk.StopAt);
    ShiftStore(fast, c.Walk.Frequency, c.Wave, fastPoll, WalkOptions{c.Walk.PollEvery, c.Walk.Threads});
    reference::ShiftStore(slow, c.Walk.Frequency, c.Wave, slowPoll);
    ExpectSameStores(fast, slow);
}

INSTANTIATE_TEST_SUITE_P(Stores, ShiftWalk, testing::ValuesIn(ShiftCases()),
                         [](const testing::TestParamInfo<ShiftCase>& info) {
                             return std::string(info.param.Walk.Name) +
                                    (info.param.Wave == ShiftWave::Sine ? "Sin" : "Cos") +
                                    std::to_string(info.index);
                         });

// The oscillator entries themselves, double for double: a difference in their last bit would rarely
// show in a rounded value.
struct OscillatorCase {
    double Frequency;
    int32_t Rate;
    double Amplitude;
};

std::ostream& operator<<(std::ostream& out, const OscillatorCase& c) {
    return out << c.Frequency << " Hz at " << c.Rate << " Hz, amplitude " << c.Amplitude;
}

class OscillatorBlocks : public testing::TestWithParam<OscillatorCase> {};

TEST_P(OscillatorBlocks, AreThoseOfTheBlockByBlockGenerator) {
    const OscillatorCase& c = GetParam();
    for (const bool sine : {true, false}) {
        ShiftOscillator fast;
        fast.Omega = 2 * std::numbers::pi * c.Frequency;
        ShiftOscillator slow = fast;
        for (int block = 0; block < 200; ++block) {
            (sine ? GenerateSinBlock : GenerateCosBlock)(fast, c.Rate, c.Amplitude);
            reference::GenerateBlock(slow, c.Rate, c.Amplitude, sine ? reference::Sine : reference::Cosine);
            ASSERT_EQ(fast.TimeOffset, slow.TimeOffset) << sine << " " << block;
            for (size_t i = 0; i < fast.Block.size(); ++i)
                ASSERT_EQ(fast.Block[i], slow.Block[i]) << sine << " " << block << " " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Generators, OscillatorBlocks,
                         testing::Values(OscillatorCase{3000, 48000, 32767},
                                         OscillatorCase{1234.5, 44100, 777}, OscillatorCase{12000, 48000, 1},
                                         OscillatorCase{0.3, 1, 25000},
                                         OscillatorCase{7999.99, 8000, 30000}));

// Frame walks poll after frame 0 and after every frame m * PollEvery - 1.
const WalkCase kFrameWalks[] = {
    {"Empty", 0, 1000, 48000, 0, 10, kNever, 0, 2},
    {"OneValue", 1, 1000, 48000, 0, 10, kNever, 0, 2},
    {"OneFrame", 2, 20000, 48000, 0, 10, kNever, 0, 2},
    {"ThreeValues", 3, 20000, 48000, 0, 10, kNever, 0, 1},
    {"OddLengthManyPolls", 4099, 30000, 48000, 0, 7, kNever, 2, 2},
    {"FullScaleWithMinus32768", 3000, 32768, 44100, 0, 100, kNever, 0, 2},
    {"RateOne", 600, 12000, 1, 0, 50, kNever, 1, 2},
    {"OneChannelKeepsItsLabels", 1001, 12000, 22050, 0, 50, kNever, 2, 1},
    {"StoppedAfterTheFirstFrame", 900, 15000, 48000, 0, 30, 0, 2, 2},
    {"StoppedPartway", 6000, 15000, 48000, 0, 100, 1999, 2, 2},
    {"OneThread", 6000, 15000, 48000, 0, 100, kNever, 1, 2},
};

class IQWalk : public testing::TestWithParam<WalkCase> {};

TEST_P(IQWalk, GivesTheValuesOfTheFrameByFrameConversion) {
    const WalkCase& c = GetParam();
    SignalStore fast = StoreFor(c);
    SignalStore slow = fast;
    StopFrom fastPoll(c.StopAt);
    StopFrom slowPoll(c.StopAt);
    EXPECT_TRUE(ConvertIQToReal(fast, fastPoll, WalkOptions{c.PollEvery, c.Threads}));
    EXPECT_TRUE(reference::ConvertIQToReal(slow, slowPoll));
    ExpectSameStores(fast, slow);
}

INSTANTIATE_TEST_SUITE_P(Stores, IQWalk, testing::ValuesIn(kFrameWalks), CaseName);

// The commands as the window and orvane-cli run them, with a job's stop flag and progress.
TEST(FastEditCommands, RunToTheEndLikeTheReferenceAndEndWithItsLastProgress) {
    const SignalStore input = MakeStore(Noise(70001, 20000, 5), 2, 48000);
    const int lastValueProgress = PercentDone(70000, 70000);
    struct Command {
        const char* Name;
        std::function<void(SignalStore&, JobControl&)> Fast;
        std::function<void(SignalStore&, StorePoll&)> Slow;
    };
    const Command commands[] = {
        {"LPF", [](SignalStore& s, JobControl& j) { LPFFilterStore(s, 7000, j); },
         [](SignalStore& s, StorePoll& p) { reference::LPFFilterStore(s, 7000, p); }},
        {"Sin", [](SignalStore& s, JobControl& j) { SinShift(s, 1500, j); },
         [](SignalStore& s, StorePoll& p) { reference::ShiftStore(s, 1500, ShiftWave::Sine, p); }},
        {"Cos", [](SignalStore& s, JobControl& j) { CosShift(s, 1500, j); },
         [](SignalStore& s, StorePoll& p) { reference::ShiftStore(s, 1500, ShiftWave::Cosine, p); }},
    };
    for (const Command& command : commands) {
        SCOPED_TRACE(command.Name);
        SignalStore fast = input;
        SignalStore slow = input;
        JobControl job;
        StopFrom never(kNever);
        command.Fast(fast, job);
        command.Slow(slow, never);
        ExpectSameStores(fast, slow);
        EXPECT_EQ(job.Progress.load(), lastValueProgress);
    }
}

TEST(FastEditCommands, AStopAlreadyRequestedEndsTheWalkAfterTheFirstPoll) {
    const SignalStore input = MakeStore(Noise(50000, 20000, 9), 2, 48000);
    SignalStore lpf = input, lpfSlow = input, sine = input, sineSlow = input, iq = input, iqSlow = input;
    JobControl job;
    job.RequestStop();
    StopFrom first(0);
    LPFFilterStore(lpf, 3000, job);
    reference::LPFFilterStore(lpfSlow, 3000, first);
    ExpectSameStores(lpf, lpfSlow);
    SinShift(sine, 700, job);
    reference::ShiftStore(sineSlow, 700, ShiftWave::Sine, first);
    ExpectSameStores(sine, sineSlow);
    EXPECT_TRUE(ConvertIQToReal(iq, job));
    reference::ConvertIQToReal(iqSlow, first);
    ExpectSameStores(iq, iqSlow);
    EXPECT_TRUE(job.Stopping()); // the conversion leaves the flag to the job frame
}

TEST(FastEditCommands, TheConversionPublishesProgressEvery50000Frames) {
    SignalStore store = MakeStore(Noise(2 * 120000, 9000, 2), 2, 48000);
    JobControl job;
    class Recording final : public StorePoll {
    public:
        explicit Recording(JobControl& job) : job_(job) {}
        bool StopAt(int64_t k) override {
            if ((2 * k + 2) % 100000 == 0) job_.SetProgress(PercentDone(k, 120000 - 1));
            return false;
        }

    private:
        JobControl& job_;
    };
    SignalStore slowStore = store;
    JobControl slowJob;
    Recording slowPoll(slowJob);
    ConvertIQToReal(store, job);
    reference::ConvertIQToReal(slowStore, slowPoll);
    ExpectSameStores(store, slowStore);
    EXPECT_EQ(job.Progress.load(), PercentDone(99999, 119999));
    EXPECT_EQ(job.Progress.load(), slowJob.Progress.load());
}

} // namespace

namespace {

// Stores of more than a million values have their level passes shared among the cores and looked up
// in a table: the values are those of the value-by-value passes, wherever the peak lies.
struct LargeLevelCase {
    size_t PeakAt;
    int16_t Peak;
};

std::ostream& operator<<(std::ostream& out, const LargeLevelCase& c) {
    return out << c.Peak << " at " << c.PeakAt;
}

class LargeLevelPasses : public testing::TestWithParam<LargeLevelCase> {};

TEST_P(LargeLevelPasses, GiveTheValuesOfTheValueByValuePasses) {
    std::vector<int16_t> values = Noise(1300001, 20000, 23);
    values[GetParam().PeakAt] = GetParam().Peak;
    const SignalStore input = MakeStore(values, 2);
    EXPECT_EQ(PeakMagnitude(input.Samples), std::abs(GetParam().Peak));
    for (const bool scale : {true, false}) {
        SignalStore fast = input;
        SignalStore slow = input;
        EXPECT_EQ(PrepareLevel(fast, scale), reference::PrepareLevel(slow, scale));
        ExpectSameStores(fast, slow);
        RestoreLevel(fast, 12345);
        reference::DivideAll(slow.Samples, 12345);
        ExpectSameStores(fast, slow);
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, LargeLevelPasses,
                         testing::Values(LargeLevelCase{1000, -32768}, LargeLevelCase{1299000, -32768},
                                         LargeLevelCase{1000, 30000}, LargeLevelCase{1299000, 30000}));

} // namespace
