#include "spectral/SpectrogramPreparation.h"

#include "signal/WorkerPool.h"
#include "spectral/FadeCurve.h"
#include "spectral/SpectrogramImageSize.h"
#include "spectral/WindowTable.h"

#include <algorithm>
#include <new>

namespace {

// The allocations of an accepted image, made before anything of the state changes so that a failure
// leaves the previous picture and tables untouched.
struct PreparedBuffers {
    TBitmap32 Bitmap;
    std::vector<std::unique_ptr<SpectrogramColumnWorker>> Workers;
};

// Counts what the image and the frame buffers take against the run's memory limit.
class MemoryAccount {
public:
    explicit MemoryAccount(std::size_t limit) : left_(limit) {}

    // Throws std::bad_alloc, as a refused allocation does, when bytes go beyond the limit.
    void Take(std::size_t bytes) {
        if (bytes > left_) throw std::bad_alloc();
        left_ -= bytes;
    }

private:
    std::size_t left_;
};

// Up to `wanted` workers; when one cannot be had, those allocated before it less one (at least one).
std::vector<std::unique_ptr<SpectrogramColumnWorker>> AllocateWorkers(std::size_t wanted, int32_t fftSize,
                                                                      bool complex, MemoryAccount& memory) {
    std::vector<std::unique_ptr<SpectrogramColumnWorker>> workers;
    workers.reserve(wanted);
    for (std::size_t i = 0; i < wanted; ++i) {
        try {
            memory.Take(SpectrogramColumnWorker::BufferBytes(fftSize, complex));
            workers.push_back(std::make_unique<SpectrogramColumnWorker>(fftSize, complex));
        } catch (const std::bad_alloc&) {
            if (workers.empty()) throw;
            if (workers.size() > 1) workers.pop_back();
            break;
        }
    }
    return workers;
}

PreparedBuffers AllocateBuffers(SpectrogramState& state, const SpectrogramImageSize& size, int32_t fftSize,
                                bool complex, const SpectrogramRunOptions& options) {
    MemoryAccount memory(options.MemoryLimit);
    memory.Take(static_cast<std::size_t>(size.Width) * static_cast<std::size_t>(size.Height) * 4);
    PreparedBuffers buffers;
    buffers.Bitmap.SetWidth(static_cast<int32_t>(size.Width));
    buffers.Bitmap.SetHeight(size.Height);
    // Reserved before the workers take what memory is left, so that rebuilding the tables below cannot
    // fail half-way.
    state.WindowTable.reserve(static_cast<std::size_t>(fftSize));
    state.FadeCurve.reserve(1024);
    buffers.Workers = AllocateWorkers(SpectrogramWorkerCount(options.Threads, fftSize, size.Width), fftSize,
                                      complex, memory);
    return buffers;
}

std::string RefusalText(const SpectrogramState& state, const SpectrogramImageSize& size) {
    return RefusedImageText(state.SpectrogramBitmap.Width(), state.SpectrogramBitmap.Height(),
                            size.Megabytes);
}

} // namespace

std::size_t SpectrogramWorkerCount(unsigned threads, int32_t fftSize, int64_t width) {
    std::size_t count = threads != 0 ? threads : std::max(1u, WorkerPool::Shared().Threads());
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
    const bool complex = ComplexPicture(settings, store.ChannelCount);
    const SpectrogramImageSize size =
        ComputeSpectrogramImageSize(store.ValueCount, settings, store.ChannelCount);

    SpectrogramPreparation preparation;
    if (size.Refused()) {
        preparation.ImageSizeText = RefusalText(state, size);
        return preparation;
    }
    PreparedBuffers buffers;
    try {
        buffers = AllocateBuffers(state, size, n, complex, options);
    } catch (const std::bad_alloc&) {
        preparation.ImageSizeText = RefusalText(state, size);
        return preparation;
    }

    state.SpectrogramBitmap = std::move(buffers.Bitmap);
    UseFFTSize(state, n);
    // A stop ends the run before its first column, the only reader of the table, so the table may be
    // left unfinished: the next run builds every entry again.
    BuildWindowTable(static_cast<uint8_t>(settings.WindowIndex), state.CurrentFFTSize, state.WindowTable,
                     &control.StopRequested);
    BuildFadeCurve(state.FadeCurve, store.Samples.size());
    control.SetProgress(0);

    preparation.Hop = SpectrogramColumnHop(settings);
    preparation.ImageSizeText = ImageSizeText(size.Width, size.Height, size.Megabytes);
    preparation.Workers = std::move(buffers.Workers);
    return preparation;
}

bool RefreshFadeCurveAndFFTSize(SpectrogramState& state, const SignalStore& store,
                                const SpectrogramSettings& settings) {
    const SpectrogramImageSize size =
        ComputeSpectrogramImageSize(store.ValueCount, settings, store.ChannelCount);
    if (size.Refused()) return false;
    UseFFTSize(state, settings.FFTSize);
    BuildFadeCurve(state.FadeCurve, store.Samples.size());
    return true;
}
