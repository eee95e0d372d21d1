#include "RandomCommandLines.h"

#include <algorithm>
#include <cstdlib>

namespace {

using Args = std::vector<std::string>;

// Inputs this small render quickly even with the largest transforms.
constexpr size_t kTinyInput = 256;

// A number as a user may type it into a frequency or rate field: ordinary, on an edge, or not a number.
std::string NumberText(SeededRandom& r) {
    if (r.Percent(45)) return std::to_string(int64_t(r.Below(100000)) - 20000) + (r.Percent(30) ? ".5" : "");
    return r.Pick<const char*>({"0",
                                "1",
                                "-1",
                                "100",
                                "1000",
                                "2500.5",
                                "12000",
                                "23999",
                                "24000",
                                "47999.9",
                                "96000",
                                "1e3",
                                "1e9",
                                "-1e9",
                                "nan",
                                "inf",
                                "-inf",
                                "1e400",
                                "",
                                "abc",
                                "12a",
                                " 5",
                                "5 ",
                                "0x10",
                                "+5",
                                "-0",
                                "2147483647",
                                "2147483648",
                                "99999999999999999999",
                                ".5",
                                "5.",
                                "1,5",
                                "1e-300"});
}

std::string RateText(SeededRandom& r) {
    if (r.Percent(50)) return r.Pick<const char*>({"8000", "22050", "44100", "48000", "96000"});
    return r.Pick<const char*>(
        {"0", "-1", "1", "2", "-48000", "2147483647", "2147483648", "44100.5", "abc", "", "1e6", "65536"});
}

// A valid item most of the time, now and then one the program must refuse.
std::string Item(SeededRandom& r, std::initializer_list<const char*> valid,
                 std::initializer_list<const char*> bad) {
    return r.Percent(92) ? r.Pick(valid) : r.Pick(bad);
}

std::string FFTSizeText(SeededRandom& r, bool large) {
    // The largest size takes seconds even on a tiny input in the sanitizer build: a few runs in a thousand.
    if (large)
        return r.Percent(6)
                   ? "8388608"
                   : r.Pick<const char*>({"16384", "65536", "131072", "262144", "524288", "1048576"});
    if (r.Percent(10)) return r.Pick<const char*>({"8192", "16384", "32768", "65536"});
    return Item(r, {"16", "32", "64", "128", "256", "512", "1024", "2048", "4096"},
                {"17", "0", "-16", "abc", "", "1e3", "1024.0", "16777216"});
}

// A column decimation d whose picture stays small: the columns of a frame of N values every N / d values
// over the values and a frame's length past them, N / 2 rows each, make about (values + N) * d / 2
// pixels. A refused one now and then.
std::string DecimationText(SeededRandom& r, size_t inputBytes, const std::string& fftText) {
    if (r.Percent(8)) return r.Pick<const char*>({"3", "0", "8192", "X / 2", "-2", "x3", "x64", "x"});
    if (r.Percent(8)) return r.Pick<const char*>({"x2", "x4", "x8", "x16", "x32"}); // columns k frames apart
    const uint64_t n = std::max<uint64_t>(std::strtoull(fftText.c_str(), nullptr, 10), 1024);
    const uint64_t most = std::max<uint64_t>(1, 4000000 / (inputBytes / 2 + n));
    uint64_t d = uint64_t(1) << r.Below(13); // 1 ... 4096
    while (d > most) d /= 2;
    return std::to_string(d);
}

void AddOptions(SeededRandom& r, Args& args, bool render, size_t inputBytes) {
    const bool largeFFT = render && inputBytes <= kTinyInput && r.Percent(6);
    const bool withFFT = largeFFT || r.Percent(55);
    const std::string fft = withFFT ? FFTSizeText(r, largeFFT) : "1024";
    if (withFFT) args.insert(args.end(), {"--fft", fft});
    if (r.Percent(40)) args.insert(args.end(), {"--image-width", DecimationText(r, inputBytes, fft)});
    if (r.Percent(30))
        args.insert(args.end(),
                    {"--window",
                     Item(r, {"None", "Triangular", "Hamming", "Hann", "Blackman", "Nuttall", "Experimental"},
                          {"none", "Kaiser", ""})});
    if (r.Percent(30))
        args.insert(args.end(), {"--gain", Item(r, {"8000", "1000", "250", "100", "50", "10", "2", "1"},
                                                {"0", "7", "100.0", "-100"})});
    if (r.Percent(25)) args.insert(args.end(), {"--channels", Item(r, {"1", "2"}, {"0", "3", "two"})});
    if (r.Percent(30)) args.insert(args.end(), {"--view", Item(r, {"bands", "iq"}, {"IQ", "complex", ""})});
    if (r.Percent(render ? 30 : 3))
        args.insert(args.end(), {"--palette", Item(r, {"Spectrum", "Grayscale", "Greens", "Reds", "Rainbow"},
                                                   {"Blues", "spectrum"})});
    if (r.Percent(2)) args.insert(args.end(), {"--bogus", "1"});
}

void AddOperation(SeededRandom& r, Args& args) {
    switch (r.Below(13)) {
    case 0:
        args.push_back("fade");
        break;
    case 1:
        args.push_back("amp");
        break;
    case 2:
        args.push_back("invert");
        break;
    case 3:
        args.push_back("invert-ch1");
        break;
    case 4:
        args.push_back("invert-ch2");
        break;
    case 5:
        args.push_back("iq2real");
        break;
    case 6:
        args.insert(args.end(), {r.Percent(50) ? "sin" : "cos", NumberText(r)});
        break;
    case 7: {
        args.push_back("fft-filter");
        args.push_back(NumberText(r));
        args.push_back(NumberText(r));
        args.push_back(Item(r, {"1", "2", "3", "5", "9"}, {"0", "10", "x"}));
        break;
    }
    case 8:
        args.insert(args.end(), {"lpf", NumberText(r)});
        break;
    case 9:
        args.insert(args.end(), {"asr", RateText(r)});
        break;
    case 10:
        args.insert(args.end(), {"channels", Item(r, {"1", "2"}, {"3", "0"})});
        break;
    case 11:
        args.push_back(r.Percent(50) ? "sin" : "lpf");
        break; // the number is missing
    default:
        args.push_back(r.Pick<const char*>({"normalize", "FADE", "--", "3"}));
        break;
    }
}

} // namespace

std::vector<std::string> MakeRandomCommandLine(SeededRandom& random, const std::string& input,
                                               size_t inputBytes, const std::string& outputFolder) {
    SeededRandom& r = random;
    const std::string in = r.Percent(2) ? outputFolder + "/no such file" : input;
    const std::string out = r.Percent(3) ? outputFolder + "/no such folder/out" : outputFolder + "/out";
    const auto command = r.Below(20); // a fifth info, a third render, the rest edit
    if (command < 4) return {"info", in};
    if (command < 11) {
        Args args = {"render", in, out + ".bmp"};
        AddOptions(r, args, true, inputBytes);
        return args;
    }
    Args args = {"edit", in, r.Percent(2) ? in : out + ".wav"};
    AddOptions(r, args, false, inputBytes);
    const auto operations = r.Pick<int>({0, 1, 1, 1, 2, 2, 3, 4, 6});
    for (int k = 0; k < operations; ++k) AddOperation(r, args);
    return args;
}
