#include "cli/EditOps.h"

#include "cli/InputOptions.h"
#include "signal/NumberText.h"

#include <cstdio>

namespace {

// channels takes 1 or 2; the word picks the channel item.
EditCommand ChannelItem(const std::string& word) {
    if (word != "1" && word != "2") throw UsageError("channels " + word + ": takes 1 or 2");
    return word == "1" ? EditCommand::OneChannel : EditCommand::TwoChannels;
}

// QUALITY names an item of the quality list, "1" to "9".
int QualityIndex(const std::string& word) {
    const int digit = word.size() == 1 ? word[0] - '1' : -1;
    if (digit < 0 || digit > 8) throw UsageError("fft-filter QUALITY " + word + ": takes 1 ... 9");
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

// The command's reading of the step's numbers (`prepare`), a text the field rejects said as an error of
// the step.
template <class Prepare> EditPreparation Prepared(const EditStep& step, const Prepare& prepare) {
    try {
        return prepare();
    } catch (const EConvertError& e) {
        throw CliError{StepWords(step) + ": " + e.what(), kExitUsage};
    }
}

} // namespace

void OpenRecording(EditSession& session, const std::string& fileName) {
    const ReadOutcome read = session.Session.Open(fileName, InputReadOptions(session.Options, fileName));
    if (!read.Opened) throw FileError(fileName, read.Reason.empty() ? "cannot be read" : read.Reason);
    // Opened as raw data, since its WAV samples are not decoded: said, and the command goes on.
    if (!read.Reason.empty())
        std::fprintf(stderr, "orvane-cli: %s: %s\n", fileName.c_str(), read.Reason.c_str());
    if (session.Options.Channels != 0) SetChannelInterpretation(session, session.Options.Channels);
}

std::vector<EditStep> PlanEditSteps(const CliArgs& words) {
    std::vector<EditStep> steps;
    for (size_t i = 0; i < words.size();) {
        const EditCommandInfo* info = FindEditCommand(words[i]);
        if (info == nullptr) throw UsageError(words[i] + ": unknown operation");
        const auto count = static_cast<size_t>(info->CliArgCount);
        if (i + 1 + count > words.size())
            throw UsageError(words[i] + ": needs " + std::to_string(count) +
                             (count == 1 ? " number" : " numbers"));
        steps.push_back(StepOf(*info, CliArgs(words.begin() + i + 1, words.begin() + i + 1 + count)));
        i += 1 + count;
    }
    return steps;
}

void CheckStepNumbers(const std::vector<EditStep>& steps) {
    // Every command reads its numbers before it looks at the recording, so a store with a name (one
    // that counts as loaded) and no values is enough to read them.
    SignalStore named;
    named.FileName = "numbers";
    for (const EditStep& step : steps)
        static_cast<void>(Prepared(step, [&] { return PrepareEdit(step.Command, step.Input, named, 1024); }));
}

std::string ApplyEditStep(EditSession& session, const EditStep& step) {
    const EditPreparation preparation =
        Prepared(step, [&] { return session.Session.Prepare(step.Command, step.Input); });
    if (!preparation.Edit) return preparation.Refusal;
    session.Session.Apply(*preparation.Edit);
    if (EditCommandInfoOf(step.Command).RecomputesPicture) RefreshAfterCommand(session);
    return {};
}

void RefreshAfterCommand(EditSession& session) {
    session.Session.RefreshAfterEdit(session.Options.Spectrogram);
}

// A reinterpretation to the channel count the store already has changes nothing and is no error.
void SetChannelInterpretation(EditSession& session, int channels) {
    const EditCommand item = channels == 2 ? EditCommand::TwoChannels : EditCommand::OneChannel;
    if (const EditPreparation preparation = session.Session.Prepare(item, {}); preparation.Edit)
        session.Session.Apply(*preparation.Edit);
}

std::string StepWords(const EditStep& step) {
    const EditCommandInfo& info = EditCommandInfoOf(step.Command);
    std::string words(info.CliName);
    if (step.Command == EditCommand::OneChannel || step.Command == EditCommand::TwoChannels)
        return words + (step.Command == EditCommand::TwoChannels ? " 2" : " 1");
    if (step.Command == EditCommand::FFTFilter)
        return words + " " + step.Input.HiText + " " + step.Input.LoText + " " +
               std::to_string(step.Input.QualityIndex + 1);
    return info.CliArgCount == 1 ? words + " " + step.Input.Text : words;
}
