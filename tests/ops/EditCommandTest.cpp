// The edit commands as the window and orvane-cli run them: which inputs each refuses, that the
// refusals change nothing, and which ones report a stop.
#include "OpsTestSupport.h"

#include "ops/EditCommand.h"
#include "signal/NumberText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace opstest;

namespace {

struct RefusalCase {
    EditCommand Command;
    std::string Text; // the one typed number, or "hi lo" for FFT_F
    uint16_t Channels;
    const char* Reason; // what the refusal says; nullptr: accepted
};

EditCommandInput InputOf(const RefusalCase& c) {
    EditCommandInput input;
    if (c.Command == EditCommand::FFTFilter) {
        const auto blank = c.Text.find(' ');
        input.HiText = c.Text.substr(0, blank);
        input.LoText = c.Text.substr(blank + 1);
    } else {
        input.Text = c.Text;
    }
    return input;
}

class EditRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(EditRefusals, AcceptOrRefuseForTheRecordingAt8000Hz) {
    const RefusalCase& c = GetParam();
    SignalStore store = MakeStore(Tone(4000, 500, 8000, 9000), c.Channels);
    store.SampleRate = 8000;
    const EditPreparation preparation = PrepareEdit(c.Command, InputOf(c), store, 4096);
    EXPECT_EQ(preparation.Edit.has_value(), c.Reason == nullptr);
    EXPECT_THAT(preparation.Refusal, ::testing::HasSubstr(c.Reason ? c.Reason : ""));
    EXPECT_EQ(preparation.Refusal.empty(), c.Reason == nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EditRefusals,
    ::testing::Values(RefusalCase{EditCommand::SinShift, "8000", 1, nullptr},
                      RefusalCase{EditCommand::CosShift, "-8001", 1,
                                  "frequency 8001 Hz is above the sample rate (8000 Hz)"},
                      RefusalCase{EditCommand::LPF, "7999", 1, nullptr},
                      RefusalCase{EditCommand::LPF, "7999.5", 1,
                                  "cut-off 7999.5 Hz is above the sample rate minus 1 (7999 Hz)"},
                      RefusalCase{EditCommand::FFTFilter, "4000 0", 1, nullptr},
                      RefusalCase{EditCommand::FFTFilter, "0 4001", 1,
                                  "cut-off 4001 Hz is above half the sample rate (4000 Hz)"},
                      RefusalCase{EditCommand::ASR, "1", 1, nullptr},
                      RefusalCase{EditCommand::ASR, "0", 1, "sample rate 0 Hz is below 1 Hz"},
                      RefusalCase{EditCommand::InvertChannel1, "", 1, "does not have two channels"},
                      RefusalCase{EditCommand::InvertChannel2, "", 2, nullptr},
                      RefusalCase{EditCommand::OneChannel, "", 1, "already read as 1 channel"},
                      RefusalCase{EditCommand::OneChannel, "", 2, nullptr},
                      RefusalCase{EditCommand::TwoChannels, "", 2, "already read as 2 channels"},
                      RefusalCase{EditCommand::TwoChannels, "", 3, nullptr},
                      // 4000 values, the FFT size in use 4096: one channel is refused, two are not.
                      RefusalCase{EditCommand::Invert, "", 1, "4000 values, fewer than the FFT size (4096)"},
                      RefusalCase{EditCommand::Invert, "", 2, nullptr},
                      RefusalCase{EditCommand::Fade, "", 1, nullptr}));

TEST(EditCommands, NothingLoadedRefusesEveryCommandAndATextThatIsNoNumberThrows) {
    SignalStore empty;
    EditCommandInput input;
    input.Text = "1000";
    for (const EditCommandInfo& info : EditCommands()) {
        const EditPreparation preparation = PrepareEdit(info.Command, input, empty, 1024);
        EXPECT_FALSE(preparation.Edit.has_value()) << info.Caption;
        EXPECT_EQ(preparation.Refusal, "") << info.Caption;
    }

    const SignalStore store = MakeStore(Tone(4000, 500, 8000, 9000), 1);
    input.Text = "12a";
    for (EditCommand command : {EditCommand::SinShift, EditCommand::LPF, EditCommand::ASR})
        EXPECT_THROW(static_cast<void>(PrepareEdit(command, input, store, 1024)), EConvertError);
}

// A stop reaches the result of the long commands only; a short one always runs to its end.
TEST(EditCommands, OnlyTheLongCommandsReportAStop) {
    SpectrogramState spectrogram;
    spectrogram.FadeCurve = FadeCurveFor(4000);
    EditCommandInput input;
    input.Text = "1000";
    input.HiText = "3000";
    input.LoText = "100";
    for (const EditCommandInfo& info : EditCommands()) {
        SignalStore store = MakeStore(Tone(40000, 500, 8000, 9000), 2);
        store.SampleRate = 8000;
        const std::optional<PreparedEdit> edit = PrepareEdit(info.Command, input, store, 1024).Edit;
        if (!edit) continue;
        JobControl job;
        job.RequestStop();
        const std::vector<int16_t> before = Values(store);
        const EditOutcome outcome = RunEdit(*edit, store, spectrogram, job);
        EXPECT_EQ(outcome.Stopped, info.JobText != nullptr) << info.Caption;
        if (info.Command == EditCommand::LPF || info.Command == EditCommand::SinShift) {
            EXPECT_NE(Values(store), before) << info.Caption << " is changed in part";
        }
    }
}

TEST(EditCommands, EveryCommandLineWordNamesItsCommand) {
    for (const EditCommandInfo& info : EditCommands()) {
        const EditCommandInfo* found = FindEditCommand(info.CliName);
        ASSERT_NE(found, nullptr) << info.CliName;
        // The two channel items share one word; its argument picks the item.
        if (info.Command != EditCommand::TwoChannels) {
            EXPECT_EQ(found->Command, info.Command);
        }
    }
    EXPECT_EQ(FindEditCommand("resample"), nullptr);
    EXPECT_EQ(EditStoppedText(EditCommand::IQToReal), " I/Q2R stopped: the recording is changed in part.");
}

} // namespace
