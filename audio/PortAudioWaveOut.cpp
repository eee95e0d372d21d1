// The default output device through PortAudio's blocking stream interface.
#include "audio/WaveOutDevice.h"

#include <portaudio.h>

#include <chrono>
#include <thread>

namespace {

// The device's name as a capability record holds it: at most 31 characters.
constexpr size_t kProductNameLength = 31;
// A drain never waits longer than this, whatever the device reports.
constexpr auto kLongestDrain = std::chrono::milliseconds(1500);
constexpr auto kDrainPoll = std::chrono::milliseconds(5);

class PortAudioWaveOut final : public WaveOutDevice {
public:
    ~PortAudioWaveOut() override {
        Close();
        if (initialised_) Pa_Terminate();
    }

    std::optional<std::string> ProductName() override {
        // PortAudio lists the devices when it is initialised; after a failed check it looks again,
        // so that a device connected meanwhile is found.
        if (initialised_ && !deviceFound_) {
            Pa_Terminate();
            initialised_ = false;
        }
        if (!initialised_) initialised_ = Pa_Initialize() == paNoError;
        deviceFound_ = false;
        if (!initialised_) return std::nullopt;
        const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
        const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
        if (info == nullptr || info->maxOutputChannels < 1) return std::nullopt;
        deviceFound_ = true;
        return std::string(info->name != nullptr ? info->name : "").substr(0, kProductNameLength);
    }

    bool SupportsFormat(const WaveFormat& format) override {
        PaStreamParameters output;
        return Parameters(format, output) &&
               Pa_IsFormatSupported(nullptr, &output, double(format.SamplesPerSec)) == paFormatIsSupported;
    }

    bool Open(const WaveFormat& format) override {
        Close();
        PaStreamParameters output;
        if (!Parameters(format, output)) return false;
        if (Pa_OpenStream(&stream_, nullptr, &output, double(format.SamplesPerSec),
                          paFramesPerBufferUnspecified, paClipOff, nullptr, nullptr) != paNoError) {
            stream_ = nullptr;
            return false;
        }
        if (Pa_StartStream(stream_) != paNoError) {
            Close();
            return false;
        }
        channels_ = format.Channels;
        emptyWriteAvailable_ = Pa_GetStreamWriteAvailable(stream_);
        return true;
    }

    bool Write(std::span<const int16_t> values) override {
        if (stream_ == nullptr) return false;
        const PaError result = Pa_WriteStream(stream_, values.data(),
                                              static_cast<unsigned long>(values.size() / size_t(channels_)));
        return result == paNoError || result == paOutputUnderflowed;
    }

    // Pa_StopStream does not wait for what a sound server still holds, so the drain watches the
    // stream's free space come back to what it was when the stream was empty.
    void Reset() override {
        if (stream_ == nullptr) return;
        const auto deadline = std::chrono::steady_clock::now() + kLongestDrain;
        while (Pa_GetStreamWriteAvailable(stream_) < emptyWriteAvailable_ &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(kDrainPoll);
        Pa_StopStream(stream_);
    }

    void Close() override {
        if (stream_ == nullptr) return;
        Pa_CloseStream(stream_);
        stream_ = nullptr;
    }

private:
    bool Parameters(const WaveFormat& format, PaStreamParameters& output) const {
        if (!initialised_) return false;
        const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
        const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
        if (info == nullptr || format.Channels < 1 || format.BitsPerSample != 16) return false;
        output.device = device;
        output.channelCount = format.Channels;
        output.sampleFormat = paInt16;
        output.suggestedLatency = info->defaultHighOutputLatency;
        output.hostApiSpecificStreamInfo = nullptr;
        return true;
    }

    bool initialised_ = false;
    bool deviceFound_ = false;
    PaStream* stream_ = nullptr;
    int channels_ = 1;
    long emptyWriteAvailable_ = 0;
};

} // namespace

std::unique_ptr<WaveOutDevice> MakePortAudioWaveOut() {
    return std::make_unique<PortAudioWaveOut>();
}
