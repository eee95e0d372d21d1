#include "spectral/SpectrogramPreparation.h"

#include "spectral/FadeCurve.h"
#include "spectral/SpectrogramImageSize.h"
#include "spectral/WindowTable.h"

#include <algorithm>
#include <new>
#include <thread>

namespace {

// The allocations of an accepted image, made before anything of the state changes so that a failure
// leaves the previous picture and tables untouched.
struct PreparedBuffers {
    TBitmap32 Bitmap;
    std::vector<std::unique_ptr<SpectrogramColumnWorker>> Workers;
};

PreparedBuffers AllocateBuffers(SpectrogramState& state, const SpectrogramImageSize& size, int32_t fftSize,
                                const SpectrogramRunOptions& options) {
    const std::size_t workerCount = SpectrogramWorkerCount(options.Threads, fftSize, size.Width);
    const std::size_t pixelBytes =
        static_cast<std::size_t>(size.Width) * static_cast<std::size_t>(size.Height) * 4;
    const std::size_t bufferBytes = workerCount * SpectrogramColumnWorker::BufferBytes(fftSize);
    if (pixelBytes + bufferBytes > options.MemoryLimit) throw std::bad_alloc();

    PreparedBuffers buffers;
    buffers.Bitmap.SetWidth(static_cast<int32_t>(size.Width));
    buffers.Bitmap.SetHeight(size.Height);
    buffers.Workers.reserve(workerCount);
    for (std::size_t i = 0; i < workerCount; ++i)
        buffers.Workers.push_back(std::make_unique<SpectrogramColumnWorker>(fftSize));
    // Reserved now so that rebuilding the tables below cannot fail half-way.
    state.WindowTable.reserve(static_cast<std::size_t>(fftSize));
    state.FadeCurve.reserve(1024);
    return buffers;
}

std::string RefusalText(const SpectrogramState& state, const SpectrogramImageSize& size) {
    return RefusedImageText(state.SpectrogramBitmap.Width(), state.SpectrogramBitmap.Height(),
                            size.Megabytes);
}

} // namespace

std::size_t SpectrogramWorkerCount(unsigned threads, int32_t fftSize, int64_t width) {
    std::size_t count = threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
    if (fftSize > kLargestSinglePrecisionFFT)
        count = std::min(count, kLargeTransformMemoryBudget / SpectrogramColumnWorker::BufferBytes(fftSize));
    count = std::min<std::size_t>(count, static_cast<std::size_t>(std::max<int64_t>(width, 1)));
    return std::max<std::size_t>(count, 1);
}

SpectrogramPreparation PrepareSpectrogramBitmap(SpectrogramState& state, const SignalStore& store,
                                                const SpectrogramSettings& settings, JobControl& control,
                                                const SpectrogramRunOptions& options) {
    state.StartTime = std::chrono::steady_clock::now();
    const int32_t n = settings.FFTSize;
    const SpectrogramImageSize size = ComputeSpectrogramImageSize(store.ValueCount, n, settings.Decimation);

    SpectrogramPreparation preparation;
    if (size.Refused()) {
        preparation.ImageSizeText = RefusalText(state, size);
        return preparation;
    }
    PreparedBuffers buffers;
    try {
        buffers = AllocateBuffers(state, size, n, options);
    } catch (const std::bad_alloc&) {
        preparation.ImageSizeText = RefusalText(state, size);
        return preparation;
    }

    state.SpectrogramBitmap = std::move(buffers.Bitmap);
    state.CurrentFFTSize = n;
    BuildWindowTable(static_cast<uint8_t>(settings.WindowIndex), state.CurrentFFTSize, state.WindowTable);
    BuildFadeCurve(state.FadeCurve, store.Samples.size());
    control.SetProgress(0);

    preparation.Hop = SpectrogramHop(n, settings.Decimation);
    preparation.ImageSizeText = ImageSizeText(size.Width, size.Height, size.Megabytes);
    preparation.Workers = std::move(buffers.Workers);
    return preparation;
}

bool RefreshFadeCurveAndFFTSize(SpectrogramState& state, const SignalStore& store,
                                const SpectrogramSettings& settings) {
    const SpectrogramImageSize size =
        ComputeSpectrogramImageSize(store.ValueCount, settings.FFTSize, settings.Decimation);
    if (size.Refused()) return false;
    state.CurrentFFTSize = settings.FFTSize;
    BuildFadeCurve(state.FadeCurve, store.Samples.size());
    return true;
}
