// Undo and redo through the history: every command's state comes back bit for bit, redo restores the
// kept result, and the budget decides what is kept.
#include "OpsTestSupport.h"

#include "ops/EditCommand.h"
#include "ops/EditHistory.h"

#include <gtest/gtest.h>

using namespace opstest;

namespace {

struct Snapshot {
    std::vector<int16_t> Values;
    int32_t ValueCount;
    uint16_t Channels;
    int32_t Rate;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Of(const SignalStore& store) {
    return {Values(store), store.ValueCount, store.ChannelCount, store.SampleRate};
}

SignalStore IQStore() {
    return MakeStore(Sum(Tone(20000, 1500, 48000, 9000), Noise(20000, 2000, 7)), 2);
}

// Runs a command through the history as the window does.
void Edit(EditHistory& history, SignalStore& store, EditCommand command, const std::string& text = "3000") {
    EditCommandInput input;
    input.Text = text;
    input.HiText = "9000";
    input.LoText = "200";
    SpectrogramState spectrogram;
    spectrogram.FadeCurve = FadeCurveFor(store.Samples.size());
    const std::optional<PreparedEdit> edit = PrepareEdit(command, input, store, 1024).Edit;
    ASSERT_TRUE(edit.has_value()) << EditCommandInfoOf(command).Caption;
    const EditCommandInfo& info = EditCommandInfoOf(command);
    JobControl job;
    history.Begin(std::string(info.Caption), store, info.RewritesValues);
    RunEdit(*edit, store, spectrogram, job);
    history.End(store);
}

class UndoEveryCommand : public ::testing::TestWithParam<EditCommand> {};

TEST_P(UndoEveryCommand, UndoGivesTheStateBeforeAndRedoTheResult) {
    SignalStore store = IQStore();
    const EditCommand command = GetParam();
    if (command == EditCommand::TwoChannels) store.ChannelCount = 1;
    EditHistory history(std::size_t{1} << 30);
    const Snapshot before = Of(store);
    Edit(history, store, command, command == EditCommand::ASR ? "22050" : "3000");
    const Snapshot after = Of(store);
    EXPECT_EQ(history.UndoName(), EditCommandInfoOf(command).Caption);

    ASSERT_TRUE(history.Undo(store));
    EXPECT_EQ(Of(store), before);
    EXPECT_EQ(history.RedoName(), EditCommandInfoOf(command).Caption);
    ASSERT_TRUE(history.Redo(store));
    EXPECT_EQ(Of(store), after);
    EXPECT_FALSE(history.Redo(store));
    ASSERT_TRUE(history.Undo(store));
    EXPECT_EQ(Of(store), before);
    EXPECT_FALSE(history.Undo(store));
}

INSTANTIATE_TEST_SUITE_P(Commands, UndoEveryCommand,
                         ::testing::Values(EditCommand::Fade, EditCommand::Amp, EditCommand::Invert,
                                           EditCommand::InvertChannel1, EditCommand::InvertChannel2,
                                           EditCommand::IQToReal, EditCommand::SinShift,
                                           EditCommand::CosShift, EditCommand::FFTFilter, EditCommand::LPF,
                                           EditCommand::ASR, EditCommand::OneChannel,
                                           EditCommand::TwoChannels));

TEST(EditHistory, AChainUndoneInFullGivesTheFirstStateAndANewEditForgetsTheRedoStates) {
    SignalStore store = IQStore();
    const Snapshot read = Of(store);
    EditHistory history(std::size_t{1} << 30);
    for (EditCommand command : {EditCommand::Amp, EditCommand::SinShift, EditCommand::IQToReal,
                                EditCommand::LPF, EditCommand::TwoChannels})
        Edit(history, store, command);
    while (history.Undo(store)) {
    }
    EXPECT_EQ(Of(store), read);
    EXPECT_EQ(history.BytesHeld(), 4 * store.Samples.size() * sizeof(int16_t)); // four rewrote the values

    ASSERT_TRUE(history.Redo(store));
    Edit(history, store, EditCommand::Invert);
    EXPECT_EQ(history.RedoName(), "");
    EXPECT_EQ(history.UndoName(), "Invert");
}

// Room for two copies of the store: the third edit lets the oldest state go; a store larger than the
// budget cannot be kept at all and clears the history; lowering the budget lets the oldest states go.
TEST(EditHistory, TheBudgetDecidesWhatIsKept) {
    SignalStore store = IQStore();
    const std::size_t copy = store.Samples.size() * sizeof(int16_t);
    EditHistory history(2 * copy);
    EXPECT_TRUE(history.Fits(store));
    Edit(history, store, EditCommand::Amp);
    const Snapshot afterAmp = Of(store);
    Edit(history, store, EditCommand::Invert);
    Edit(history, store, EditCommand::ASR, "8000"); // no copy: fits whatever is held
    Edit(history, store, EditCommand::Fade);
    EXPECT_EQ(history.BytesHeld(), 2 * copy);
    for (int undone = 0; undone < 3; ++undone) ASSERT_TRUE(history.Undo(store));
    EXPECT_EQ(Of(store), afterAmp); // the state before Amp went to make room
    EXPECT_FALSE(history.Undo(store));

    history.SetBudget(copy); // the farthest redo state goes first; the next one stays reachable
    EXPECT_EQ(history.BytesHeld(), copy);
    EXPECT_EQ(history.RedoName(), "Invert");

    history.SetBudget(copy - 1);
    EXPECT_FALSE(history.Fits(store));
    EXPECT_FALSE(history.Begin("Amp", store, true));
    EXPECT_EQ(history.UndoName(), "");
    EXPECT_EQ(history.RedoName(), "");
    EXPECT_EQ(history.BytesHeld(), 0u);
    EXPECT_TRUE(history.Begin("ASR", store, false)); // an edit that keeps no copy is always undoable
}

TEST(EditHistory, TheDefaultBudgetIsAQuarterOfTheMemoryAtMostFourGiB) {
    const std::size_t budget = DefaultUndoBudget();
    EXPECT_GT(budget, std::size_t{64} << 20);
    EXPECT_LE(budget, std::size_t{4} << 30);
}

} // namespace
