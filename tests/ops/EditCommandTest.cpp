// The edit commands as the window and orvane-cli run them: which inputs each refuses, that the
// refusals change nothing, and which ones report a stop.
#include "OpsTestSupport.h"

#include "ops/EditCommand.h"
#include "signal/NumberText.h"

#include <gtest/gtest.h>

using namespace opstest;

namespace {

struct RefusalCase {
    EditCommand Command;
    std::string Text; // the one typed number, or "hi lo" for FFT_F
    uint16_t Channels;
    bool Refused;
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
    EXPECT_EQ(!PrepareEdit(c.Command, InputOf(c), store).has_value(), c.Refused);
}

INSTANTIATE_TEST_SUITE_P(Commands, EditRefusals,
                         ::testing::Values(RefusalCase{EditCommand::SinShift, "8000", 1, false},
                                           RefusalCase{EditCommand::CosShift, "-8001", 1, true},
                                           RefusalCase{EditCommand::LPF, "7999", 1, false},
                                           RefusalCase{EditCommand::LPF, "7999.5", 1, true},
                                           RefusalCase{EditCommand::FFTFilter, "4000 0", 1, false},
                                           RefusalCase{EditCommand::FFTFilter, "0 4001", 1, true},
                                           RefusalCase{EditCommand::ASR, "1", 1, false},
                                           RefusalCase{EditCommand::ASR, "0", 1, true},
                                           RefusalCase{EditCommand::InvertChannel1, "", 1, true},
                                           RefusalCase{EditCommand::InvertChannel2, "", 2, false},
                                           RefusalCase{EditCommand::OneChannel, "", 1, true},
                                           RefusalCase{EditCommand::OneChannel, "", 2, false},
                                           RefusalCase{EditCommand::TwoChannels, "", 2, true},
                                           RefusalCase{EditCommand::TwoChannels, "", 3, false},
                                           RefusalCase{EditCommand::Fade, "", 1, false}));

TEST(EditCommands, NothingLoadedRefusesEveryCommandAndATextThatIsNoNumberThrows) {
    SignalStore empty;
    EditCommandInput input;
    input.Text = "1000";
    for (const EditCommandInfo& info : EditCommands())
        EXPECT_FALSE(PrepareEdit(info.Command, input, empty).has_value()) << info.Caption;

    const SignalStore store = MakeStore(Tone(4000, 500, 8000, 9000), 1);
    input.Text = "12a";
    for (EditCommand command : {EditCommand::SinShift, EditCommand::LPF, EditCommand::ASR})
        EXPECT_THROW(PrepareEdit(command, input, store), EConvertError);
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
        const std::optional<PreparedEdit> edit = PrepareEdit(info.Command, input, store);
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
