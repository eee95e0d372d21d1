#include "SaveWriters.h"

#include "signal/WavWriter.h"
#include "view/BmpFile.h"
#include "view/PngFile.h"

#include <cmath>

namespace {

SignalStore StoreOf(size_t values) {
    SignalStore store;
    for (size_t i = 0; i < values; ++i) store.Samples.push_back(static_cast<int16_t>(i * 37 - 9000));
    store.ValueCount = static_cast<int32_t>(values);
    store.ChannelCount = 2;
    store.SampleRate = 22050;
    return store;
}

std::string SaveWav(const SignalStore& store, const std::string& path) {
    try {
        return SaveSignal(store, path, "/", [](const std::string&) {}) == kWavWriteOk ? kSaved : kNotSaved;
    } catch (const EFCreateError& e) {
        return e.what();
    }
}

std::string SavePicture(const std::vector<TColor32>& pixels, int32_t side, const std::string& path,
                        bool png) {
    try {
        if (png)
            WritePngFile(path, pixels.data(), side, side);
        else
            WriteBmpFile(path, pixels.data(), side, side);
        return kSaved;
    } catch (const EFCreateError& e) {
        return e.what();
    } catch (const EFWriteError&) {
        return kNotSaved;
    }
}

} // namespace

std::vector<Writer> WritersOfAbout(size_t bytes) {
    const SignalStore store = StoreOf(bytes / 2);
    const auto side = static_cast<int32_t>(std::sqrt(double(bytes) / 4));
    const std::vector<TColor32> pixels(size_t(side) * size_t(side), Color32(10, 200, 30));
    return {
        {"Wav", [store](const std::string& path) { return SaveWav(store, path); }},
        {"Bmp", [pixels, side](const std::string& path) { return SavePicture(pixels, side, path, false); }},
        {"Png", [pixels, side](const std::string& path) { return SavePicture(pixels, side, path, true); }}};
}
