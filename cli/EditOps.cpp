#include "cli/EditOps.h"

namespace {

// channels takes 1 or 2; the word picks the channel item.
EditCommand ChannelItem(const std::string& word) {
    if (word != "1" && word != "2") throw CliUsageError{"channels takes 1 or 2"};
    return word == "1" ? EditCommand::OneChannel : EditCommand::TwoChannels;
}

// QUALITY names an item of the quality list, "1" to "9".
int QualityIndex(const std::string& word) {
    const int digit = word.size() == 1 ? word[0] - '1' : -1;
    if (digit < 0 || digit > 8) throw CliUsageError{"fft-filter QUALITY takes 1 ... 9"};
    return digit;
}

EditStep StepOf(const EditCommandInfo& info, const CliArgs& words) {
    EditStep step;
    step.Command = info.Command;
    if (info.Command == EditCommand::OneChannel) {
        step.Command = ChannelItem(words[0]);
    } else if (info.Command == EditCommand::FFTFilter) {
        step.Input.HiText = words[0];
        step.Input.LoText = words[1];
        step.Input.QualityIndex = QualityIndex(words[2]);
    } else if (info.CliArgCount == 1) {
        step.Input.Text = words[0];
    }
    return step;
}

} // namespace

std::vector<EditStep> PlanEditSteps(const CliArgs& words) {
    std::vector<EditStep> steps;
    for (size_t i = 0; i < words.size();) {
        const EditCommandInfo* info = FindEditCommand(words[i]);
        if (info == nullptr) throw CliUsageError{"unknown operation " + words[i]};
        const auto count = static_cast<size_t>(info->CliArgCount);
        if (i + 1 + count > words.size()) throw CliUsageError{"missing argument for " + words[i]};
        steps.push_back(StepOf(*info, CliArgs(words.begin() + i + 1, words.begin() + i + 1 + count)));
        i += 1 + count;
    }
    return steps;
}

void ApplyEditStep(EditSession& session, const EditStep& step) {
    const std::optional<PreparedEdit> edit = PrepareEdit(step.Command, step.Input, session.Store);
    if (!edit) return;
    RunEdit(*edit, session.Store, session.Spectrogram, session.Job);
    if (EditCommandInfoOf(step.Command).RecomputesPicture) RefreshAfterCommand(session);
}

void RefreshAfterCommand(EditSession& session) {
    RefreshAfterEdit(session.Spectrogram, session.Store, session.Options.Spectrogram);
}

void SetChannelInterpretation(EditSession& session, int channels) {
    session.Store.ChannelCount = static_cast<uint16_t>(channels);
}
