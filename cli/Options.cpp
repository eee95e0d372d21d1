#include "cli/Options.h"

#include "signal/CaptureReader.h"
#include "signal/CaptureType.h"
#include "signal/NumberText.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <functional>

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The items of a list, for messages: "None, Triangular, Hamming".
std::string Listed(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

// Accepts the items of a list (in any letter case when anyCase) and turns the text into the item as
// the list spells it; refuses anything else with the list.
template <class Items> CLI::Validator OneOf(const Items& items, bool anyCase) {
    const std::vector<std::string> list(items.begin(), items.end());
    return CLI::Validator(
        [list, anyCase](std::string& text) -> std::string {
            const auto it = std::find_if(list.begin(), list.end(), [&](const std::string& item) {
                return item == text || (anyCase && Lower(item) == Lower(text));
            });
            if (it == list.end()) return "'" + text + "' is not one of " + Listed(list);
            text = *it;
            return {};
        },
        "");
}

template <class Items> int IndexOf(const Items& items, std::string_view text) {
    return static_cast<int>(std::find(items.begin(), items.end(), text) - items.begin());
}

std::vector<std::string> ImageWidthWords() {
    std::vector<std::string> words;
    for (size_t i = 0; i < kXResolutionItems.size() + kWideXResolutionItems.size(); ++i)
        words.push_back(ImageWidthWord(int(i)));
    return words;
}

// A decimal number ("." as the separator, an optional sign and exponent).
CLI::Validator Number() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            try {
                StrToFloat(text);
                return {};
            } catch (const EConvertError& e) {
                return e.what();
            }
        },
        "");
}

std::vector<std::string> DemodModeNames() {
    std::vector<std::string> names;
    for (const DemodMode mode : kDemodModes) names.emplace_back(DemodModeName(mode));
    return names;
}

// A number option of demod that writes its value through `set`.
void DeclareNumber(CLI::App& app, const std::string& name, const std::function<void(double)>& set,
                   const std::string& text, const std::string& unit) {
    app.add_option_function<std::string>(
           name, [set](const std::string& v) { set(StrToFloat(v)); }, text)
        ->check(Number())
        ->option_text(unit);
}

void DeclareDemodOptions(CLI::App& app, CliOptions& options) {
    DemodRequest& d = options.Demod;
    app.add_option_function<std::string>(
           "--mode", [&d](const std::string& v) { d.Mode = *DemodModeNamed(v); },
           "AM, FM, WFM (broadcast, mono), USB, LSB, CW; any letter case")
        ->transform(OneOf(DemodModeNames(), true))
        ->required()
        ->option_text("MODE");
    DeclareNumber(
        app, "--freq", [&d](double v) { d.Frequency = v; },
        "the signal's frequency in Hz: two channels (I/Q) -R/2 ... R/2,\n"
        "one channel 0 ... R/2; USB/LSB: the suppressed carrier",
        "HZ");
    app.get_option("--freq")->required();
    DeclareNumber(
        app, "--bandwidth", [&d](double v) { d.Bandwidth = v; },
        "default AM 10000, FM 12500, WFM 200000, USB/LSB 2800, CW 500", "HZ");
    DeclareNumber(
        app, "--from", [&d](double v) { d.From = v; }, "start, seconds into the recording; default 0", "S");
    DeclareNumber(
        app, "--to", [&d](double v) { d.To = v; }, "end, seconds into the recording; default the end", "S");
}

void DeclareExtractOptions(CLI::App& app, CliOptions& options) {
    ExtractRequest& e = options.Extract;
    DeclareNumber(
        app, "--from", [&e](double v) { e.FromSeconds = v; }, "start, seconds into the recording", "S");
    DeclareNumber(
        app, "--to", [&e](double v) { e.ToSeconds = v; }, "end, seconds into the recording", "S");
    app.get_option("--from")->required();
    app.get_option("--to")->required();
    app.add_option_function<std::vector<std::string>>(
           "--band",
           [&e](const std::vector<std::string>& v) {
               if (v.size() != 2) throw CLI::ValidationError("--band", "takes two numbers: LO HI");
               e.LowHz = StrToFloat(v.at(0));
               e.HighHz = StrToFloat(v.at(1));
           },
           "the band's edges in Hz: radio frequencies when the recording has\n"
           "a centre frequency, else baseband (two channels -R/2 ... R/2,\none channel 0 ... R/2)")
        ->expected(2)
        ->check(Number())
        ->required()
        ->option_text("LO HI");
}

// A positive number of bytes.
CLI::Validator FileSize() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            try {
                if (StrToInt64(text) > 0) return {};
            } catch (const EConvertError&) {
            }
            return "'" + text + "' is not a positive number of bytes";
        },
        "");
}

void DeclareChannelsOption(CLI::App& app, CliOptions& options) {
    app.add_option_function<std::string>(
           "--channels", [&options](const std::string& v) { options.Channels = StrToInt(v); },
           "read the values as 1 or 2 channels; default as the file says")
        ->transform(OneOf(std::array{"1", "2"}, false))
        ->option_text("C");
}

void DeclareSpectrogramOptions(CLI::App& app, CliOptions& options) {
    SpectrogramSettings& s = options.Spectrogram;
    app.add_option_function<std::string>(
           "--fft", [&s](const std::string& v) { s.FFTSize = StrToInt(v); },
           "FFT size, 16 ... 8388608 (powers of two); default 1024")
        ->transform(OneOf(kFFTSizeItems, false))
        ->option_text("N");
    app.add_option_function<std::string>(
           "--image-width",
           [&s](const std::string& v) { SelectXResolutionItem(IndexOf(ImageWidthWords(), v), s); },
           "column decimation 1, 2, 4 ... 4096; default 1; or x2, x4 ... x32\n"
           "for columns 2 ... 32 frames apart (long recordings)")
        ->transform(OneOf(ImageWidthWords(), true))
        ->option_text("D");
    app.add_option_function<std::string>(
           "--window", [&s](const std::string& v) { s.WindowIndex = IndexOf(kFFTWindowItems, v); },
           "None, Triangular, Hamming, Hann, Blackman, Nuttall,\nExperimental; default Nuttall")
        ->transform(OneOf(kFFTWindowItems, true))
        ->option_text("NAME");
    app.add_option_function<std::string>(
           "--gain", [&s](const std::string& v) { s.Gain = StrToInt(v); },
           "image gain, 8000 ... 1; default 100")
        ->transform(OneOf(kImageGainItems, false))
        ->option_text("G");
    DeclareChannelsOption(app, options);
    app.add_option_function<std::string>(
           "--view", [&s](const std::string& v) { s.IQSpectrum = v == "iq"; },
           "bands: two channels in two bands (default); iq: two channels\n"
           "as the complex spectrum of I + jQ, N rows from -R/2 (bottom)\nto +R/2 (top)")
        ->transform(OneOf(std::array{"bands", "iq"}, true))
        ->option_text("V");
}

// A whole number of hertz that `parse` accepts, refused with `refusal`'s words.
CLI::Validator Hertz(std::optional<int64_t> (*parse)(std::string_view),
                     std::string (*refusal)(std::string_view)) {
    return CLI::Validator(
        [parse, refusal](std::string& text) { return parse(text) ? std::string() : refusal(text); }, "");
}

// The options of inputs that are bare I/Q captures, whose rate and type are not in the file.
void DeclareCaptureOptions(CLI::App& app, CliOptions& options) {
    app.add_option_function<std::string>(
           "--rate", [&options](const std::string& v) { options.CaptureRate = ParseCaptureRate(v); },
           "a capture's sample rate in Hz (required for captures:\n.cu8 .cs8 .cs16 .cf32 .cf64 and their "
           "other names)")
        ->check(Hertz(ParseCaptureRate, CaptureRateRefusal))
        ->option_text("R");
    app.add_option_function<std::string>(
           "--centre", [&options](const std::string& v) { options.CaptureCentre = ParseCaptureCentre(v); },
           "a capture's centre frequency in Hz (0: none); default the\none its name gives")
        ->check(Hertz(ParseCaptureCentre, CaptureCentreRefusal))
        ->option_text("HZ");
    app.add_option_function<std::string>(
           "--type", [&options](const std::string& v) { options.CaptureType = CaptureTypeNamed(v); },
           "read the input as a capture of this type, whatever its name:\ncu8 cs8 cs16 cf32 cf64 "
           "(also uc8 sc8 sc16 fc32 cfile fc64)")
        ->transform(OneOf(AllCaptureTypeNames(), true))
        ->option_text("TYPE");
}

} // namespace

std::string ImageWidthWord(int index) {
    const int own = int(kXResolutionItems.size());
    return index < own ? std::to_string(1 << index) : "x" + std::to_string(2 << (index - own));
}

void DeclareOptions(CLI::App& app, CliOptions& options, OptionSet set) {
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    if (set == OptionSet::Demod) {
        DeclareDemodOptions(app, options);
        DeclareChannelsOption(app, options);
    }
    if (set == OptionSet::Extract) {
        DeclareExtractOptions(app, options);
        DeclareChannelsOption(app, options);
    }
    if (set == OptionSet::Edit || set == OptionSet::Render) DeclareSpectrogramOptions(app, options);
    if (set == OptionSet::Render)
        app.add_option_function<std::string>(
               "--palette",
               [&options](const std::string& v) { options.PaletteIndex = IndexOf(kPaletteNames, v); },
               "Spectrum, Grayscale, Greens, Reds, Rainbow; default Spectrum")
            ->transform(OneOf(kPaletteNames, true))
            ->option_text("NAME");
    if (set == OptionSet::Render)
        app.add_flag("--axes", options.Axes,
                     "the picture with its frequency ruler, time scale, level\nlegend and a title line");
    if (set != OptionSet::Info)
        app.add_flag("--quiet", options.Quiet,
                     "no progress bar (it is shown only when standard error is\na terminal)");
    app.add_option_function<std::string>(
           "--largest-file", [&options](const std::string& v) { options.LargestFile = StrToInt64(v); },
           "refuse input files longer than BYTES; default 500000000")
        ->check(FileSize())
        ->option_text("BYTES");
    if (set == OptionSet::Info)
        app.add_flag("--json", options.Json, "one JSON object per file, one per line");
    DeclareCaptureOptions(app, options);
}
