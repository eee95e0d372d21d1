#include "cli/CommandLine.h"

#include "cli/HelpText.h"
#include "signal/NumberText.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>

namespace {

struct CommandText {
    const char* Name;
    const char* Synopsis;
    const char* Summary;
};

CommandText TextOf(OptionSet command) {
    switch (command) {
    case OptionSet::Info:
        return {
            "info",
            "orvane-cli info [--largest-file BYTES] [--json] [--rate R] [--centre HZ] [--type TYPE] FILE...",
            "print what the reader makes of each FILE"};
    case OptionSet::Render:
        return {"render", "orvane-cli render FILE OUT.bmp|OUT.png [OPTIONS]",
                "compute the spectrogram of FILE as the window does and save it as a picture"};
    case OptionSet::Demod:
        return {
            "demod",
            "orvane-cli demod IN OUT.wav --mode am|fm|wfm|usb|lsb|cw --freq HZ [--bandwidth HZ] [--from S] "
            "[--to S] [OPTIONS]",
            "demodulate one signal of IN to audio and save it as a 16-bit mono 48000 Hz WAV file"};
    case OptionSet::Extract:
        return {"extract",
                "orvane-cli extract IN OUT.wav|OUT.sigmf-data --from S --to S --band LO HI [OPTIONS]",
                "write a time range and band of IN as a two-channel I/Q recording of its own, tuned to the "
                "band's centre and decimated"};
    case OptionSet::Edit:
        break;
    }
    return {"edit", "orvane-cli edit IN OUT.wav|OUT.sigmf-data [OPTIONS] OP [ARG...] [OP [ARG...] ...]",
            "apply the operations in order, as the window's commands do, and save IN as a 16-bit PCM WAV "
            "file or a SigMF pair"};
}

std::string OutputText(OptionSet command) {
    if (command == OptionSet::Render)
        return "the picture: PNG for a name ending in .png, BMP for .bmp\n(in any case)";
    if (command == OptionSet::Demod) return "the WAV file of the audio; not IN itself";
    if (command == OptionSet::Extract) return "the WAV file of the band; not IN itself";
    return "the WAV file to write; may be IN itself";
}

// The help of a command: its summary and synopsis, then the words and options CLI11 lists.
class HelpFormatter : public CLI::Formatter {
public:
    explicit HelpFormatter(OptionSet command) : command_(command) {
        label("Positionals", "words");
        label("Options", "options");
        label("REQUIRED", "");
        column_width(24);
    }
    std::string make_description(const CLI::App*) const override {
        return std::string("orvane-cli ") + TextOf(command_).Name + ": " + TextOf(command_).Summary + "\n";
    }
    std::string make_usage(const CLI::App*, std::string) const override {
        return std::string("usage: ") + TextOf(command_).Synopsis + "\n";
    }

private:
    OptionSet command_;
};

// The parser of one command and the places its words go.
struct Parser {
    explicit Parser(OptionSet command);

    CLI::App App;
    CommandLine Line;
    std::string In, Out;                    // render: FILE OUT; edit: IN OUT
    std::vector<std::string> More;          // info: the files; edit: the operation words
    std::vector<const CLI::Option*> Needed; // the words that must be given, checked after parsing
};

Parser::Parser(OptionSet command) : App("", TextOf(command).Name) {
    App.formatter(std::make_shared<HelpFormatter>(command));
    App.set_help_flag("-h,--help", "print this help");
    App.option_defaults()->group("options");
    App.allow_extras(); // reported below in words of our own
    if (command == OptionSet::Info) {
        Needed.push_back(App.add_option("FILE", More, "recordings to read")->option_text(" "));
    } else {
        const bool render = command == OptionSet::Render;
        Needed.push_back(
            App.add_option(render ? "FILE" : "IN", In, "the recording to read")->option_text(" "));
        Needed.push_back(App.add_option("OUT", Out, OutputText(command))->option_text(" "));
        if (command == OptionSet::Edit)
            App.add_option("OP", More, "the operations and their numbers (see below)")->option_text(" ");
    }
    DeclareOptions(App, Line.Options, command);
    if (command == OptionSet::Edit) App.footer("operations:\n" + OperationsText());
}

// A word CLI11 left over: an option the command does not take, or a word too many.
CliError LeftOver(const std::string& word) {
    if (word.empty() || word[0] != '-') return UsageError(word + ": one word too many");
    try {
        StrToFloat(word);
        return UsageError(word +
                          ": unknown option (write a negative number with a digit first, or after --)");
    } catch (const EConvertError&) {
        return UsageError(word + ": unknown option");
    }
}

// CLI11's "NAME: 1 required TYPE missing" said as "NAME: the value is missing"; other texts as they are.
std::string MessageOf(const CLI::ParseError& e) {
    const std::string text = e.what();
    const auto colon = text.find(": ");
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr && colon != std::string::npos &&
        text.ends_with(" missing"))
        return text.substr(0, colon) + ": the value is missing";
    return text;
}

} // namespace

CommandLine ParseCommandLine(OptionSet command, const CliArgs& args) {
    Parser parser(command);
    std::vector<std::string> reversed(args.rbegin(), args.rend()); // CLI11 takes the words last first
    try {
        parser.App.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        throw CliHelp{parser.App.help()};
    } catch (const CLI::ParseError& e) {
        throw UsageError(MessageOf(e));
    }
    for (const std::string& word : parser.App.remaining())
        if (word != "--") throw LeftOver(word);
    for (const CLI::Option* option : parser.Needed)
        if (option->count() == 0)
            throw UsageError(std::string(TextOf(command).Name) + ": " + option->get_name() + " is missing");
    CommandLine line = std::move(parser.Line);
    if (command != OptionSet::Info) line.Words = {parser.In, parser.Out};
    line.Words.insert(line.Words.end(), parser.More.begin(), parser.More.end());
    return line;
}

std::string CommandSynopsis(OptionSet command) {
    return TextOf(command).Synopsis;
}

std::string CommandOptionLines(OptionSet command) {
    const Parser parser(command);
    const auto formatter = std::make_shared<HelpFormatter>(command);
    std::string lines;
    for (const CLI::Option* option : parser.App.get_options())
        if (!option->get_positional() && option != parser.App.get_help_ptr())
            lines += formatter->make_option(option, false);
    return lines;
}
