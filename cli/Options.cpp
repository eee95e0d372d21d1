#include "cli/Options.h"

#include "signal/NumberText.h"

#include <algorithm>

namespace {

template <size_t N> int IndexOf(const std::array<std::string_view, N>& items, std::string_view text) {
    const auto it = std::find(items.begin(), items.end(), text);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

int ItemIndexOrThrow(int index, const std::string& option, const std::string& value) {
    if (index < 0) throw CliUsageError{"invalid value '" + value + "' for " + option};
    return index;
}

// A positive number of bytes.
int64_t FileSizeOrThrow(const std::string& option, const std::string& value) {
    int64_t bytes = 0;
    try {
        bytes = StrToInt64(value);
    } catch (const EConvertError&) {
    }
    if (bytes <= 0) throw CliUsageError{"invalid value '" + value + "' for " + option};
    return bytes;
}

// "1" ("X = Y"), "2" ("X / 2") ... "4096", or "x2" ("X * 2") ... "x32" for columns k frames apart: the
// item of the window's image-width list, its own items first and the wide ones after them.
void SetImageWidth(const std::string& name, const std::string& value, SpectrogramSettings& s) {
    int index = -1;
    if (!value.empty() && value[0] == 'x') {
        const int wide = IndexOf(kWideXResolutionItems, "X * " + value.substr(1));
        if (wide >= 0) index = int(kXResolutionItems.size()) + wide;
    } else {
        index = IndexOf(kXResolutionItems, value == "1" ? "X = Y" : "X / " + value);
    }
    SelectXResolutionItem(ItemIndexOrThrow(index, name, value), s);
}

void ApplyOption(const std::string& name, const std::string& value, CliOptions& options, OptionSet set) {
    auto& s = options.Spectrogram;
    if (name == "--largest-file") {
        options.LargestFile = FileSizeOrThrow(name, value);
    } else if (set == OptionSet::Info) {
        throw CliUsageError{"unknown option " + name};
    } else if (name == "--fft") {
        ItemIndexOrThrow(IndexOf(kFFTSizeItems, value), name, value);
        s.FFTSize = StrToInt(value);
    } else if (name == "--image-width") {
        SetImageWidth(name, value, s);
    } else if (name == "--view") {
        if (value != "bands" && value != "iq")
            throw CliUsageError{"invalid value '" + value + "' for --view"};
        s.IQSpectrum = value == "iq";
    } else if (name == "--window") {
        s.WindowIndex = ItemIndexOrThrow(IndexOf(kFFTWindowItems, value), name, value);
    } else if (name == "--gain") {
        ItemIndexOrThrow(IndexOf(kImageGainItems, value), name, value);
        s.Gain = StrToInt(value);
    } else if (name == "--channels") {
        if (value != "1" && value != "2") throw CliUsageError{"invalid value '" + value + "' for --channels"};
        options.Channels = value[0] - '0';
    } else if (name == "--palette" && set == OptionSet::Render) {
        options.PaletteIndex = ItemIndexOrThrow(IndexOf(kPaletteNames, value), name, value);
    } else {
        throw CliUsageError{"unknown option " + name};
    }
}

} // namespace

CliArgs ParseOptions(const CliArgs& args, CliOptions& options, OptionSet set) {
    CliArgs rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) != 0) {
            rest.push_back(args[i]);
            continue;
        }
        if (args[i] == "--quiet" && set != OptionSet::Info) {
            options.Quiet = true;
            continue;
        }
        if (i + 1 >= args.size()) throw CliUsageError{"missing value for " + args[i]};
        ApplyOption(args[i], args[i + 1], options, set);
        ++i;
    }
    return rest;
}
