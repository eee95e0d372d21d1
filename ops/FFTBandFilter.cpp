#include "ops/FFTBandFilter.h"

#include "ops/SampleRounding.h"
#include "signal/NumberText.h"
#include "signal/WorkerPool.h"
#include "spectral/FFTPow2.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr int32_t kN = kFilterFrameLength;
constexpr int32_t kHalf = kFilterHop;
constexpr int32_t kW = kFilterTransition;
constexpr int kBlocksPerWorker = 8; // blocks computed per worker before the results are written

// |0.5 cos(2 pi (i/length - 0.5)) + 0.5|, the phase rounded to a double, the rest in extended precision.
float HannEntry(int32_t i, int32_t length) {
    const double phase = static_cast<double>(static_cast<long double>(i) / length - 0.5L);
    const long double value = 0.5L * std::cos(2 * std::numbers::pi_v<long double> * phase) + 0.5L;
    return static_cast<float>(std::fabs(value));
}

std::vector<float> HannTable(int32_t length) {
    std::vector<float> table(static_cast<size_t>(length));
    for (int32_t i = 0; i < length; ++i) table[static_cast<size_t>(i)] = HannEntry(i, length);
    return table;
}

// The binary round of the cut bins: nearest, halves to even, in extended precision.
int64_t RoundedBin(int32_t sampleRate, int32_t frequency) {
    return std::llrint(static_cast<long double>(kN) / sampleRate * frequency);
}

int32_t RoundToInt32(float x) {
    return static_cast<int32_t>(std::llrint(x));
}

// The two frames of one block: P covers store positions start .. start + 16383, H the same shifted
// by half a frame.
struct BlockFrames {
    std::vector<TComplexSingle> P = std::vector<TComplexSingle>(kN);
    std::vector<TComplexSingle> H = std::vector<TComplexSingle>(kN);
};

void Scale(TComplexSingle& bin, float factor) {
    bin.re *= factor;
    bin.im *= factor;
}

// The values of one channel of the store: value p of the channel is samples[p * stride].
struct ChannelValues {
    int16_t* Samples;
    int64_t Count;
    int Stride;
    int Index;    // the channel: 0 or 1
    int Channels; // of the store
};

// The channels of a store: with two, value i belongs to channel i % 2.
std::vector<ChannelValues> ChannelsOf(SignalStore& store) {
    const int64_t values =
        std::min<int64_t>(std::max(store.ValueCount, 0), static_cast<int64_t>(store.Samples.size()));
    const int channels = store.TwoChannels() ? 2 : 1;
    std::vector<ChannelValues> result;
    for (int c = 0; c < channels; ++c)
        result.push_back(
            {store.Samples.data() + c, (values - c + channels - 1) / channels, channels, c, channels});
    return result;
}

// One run of the filter over one channel, pass after pass.
class BandFilterRun {
public:
    BandFilterRun(ChannelValues channel, FilterCutBins cuts, int32_t passes, JobControl& job,
                  unsigned threads)
        : samples_(channel.Samples), count_(channel.Count), stride_(channel.Stride),
          progressPass_(channel.Index * passes), progressPasses_(channel.Channels * passes), passes_(passes),
          cuts_(cuts), job_(job), window_(BuildFilterWindow()), taper_(BuildFilterTaper()),
          overlapTail_(kHalf, 0),
          threads_(std::max(1u, threads > 0 ? threads : WorkerPool::Shared().Threads())),
          batch_(static_cast<size_t>(
              std::min<int64_t>(static_cast<int64_t>(threads_) * kBlocksPerWorker, BlockCount()))),
          work_(std::min(threads_, batch_.size()), std::vector<TComplexSingle>(kN)) {}

    void Run() {
        for (int32_t pass = 0; pass < passes_; ++pass)
            if (!RunPass(pass)) return;
    }

private:
    // Blocks start at -16384, 0, 16384, ... as long as the start lies before the end of the store.
    int64_t BlockCount() const { return (count_ + kN + kN - 1) / kN; }
    static int64_t BlockStart(int64_t block) { return (block - 1) * kN; }

    bool RunPass(int32_t pass) {
        const int64_t blocks = BlockCount();
        for (int64_t first = 0; first < blocks; first += static_cast<int64_t>(batch_.size())) {
            const int64_t size = std::min<int64_t>(static_cast<int64_t>(batch_.size()), blocks - first);
            ComputeBatch(first, size);
            for (int64_t b = 0; b < size; ++b) {
                OverlapAdd(BlockStart(first + b), batch_[static_cast<size_t>(b)]);
                ReportProgress(pass, first + b, blocks);
                if (job_.Stopping()) return false;
            }
        }
        return true;
    }

    // Every block of the batch reads only positions that no earlier block of the pass has written,
    // and nothing is written until all of them are computed, so they run in any order on any thread.
    // Each worker of the pool's round has its own FFT scratch and takes blocks until none is left.
    void ComputeBatch(int64_t first, int64_t size) {
        std::atomic<int64_t> next{0};
        auto worker = [&](size_t w) {
            for (int64_t b = next++; b < size; b = next++)
                ComputeBlock(BlockStart(first + b), batch_[static_cast<size_t>(b)], work_[w].data());
        };
        WorkerPool::Shared().Share(std::min<size_t>(work_.size(), static_cast<size_t>(size)), worker);
    }

    void ComputeBlock(int64_t start, BlockFrames& frames, TComplexSingle* work) const {
        FillFrame(start, frames.P);
        FillFrame(start + kHalf, frames.H);
        FFTPow2(frames.P.data(), kN, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural, work);
        FFTPow2(frames.H.data(), kN, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural, work);
        CutBands(frames.P);
        CutBands(frames.H);
        FFTPow2(frames.P.data(), kN, FFTDirection::Inverse, FFTScaling::ByOneOverN, FFTOrder::Natural, work);
        FFTPow2(frames.H.data(), kN, FFTDirection::Inverse, FFTScaling::ByOneOverN, FFTOrder::Natural, work);
    }

    void FillFrame(int64_t start, std::vector<TComplexSingle>& frame) const {
        for (int32_t f = 0; f < kN; ++f) {
            const int64_t p = start + f;
            const float value =
                (p >= 0 && p < count_) ? static_cast<float>(samples_[p * stride_]) * window_[f] : 0.0f;
            frame[static_cast<size_t>(f)] = {value, 0.0f};
        }
    }

    void CutBands(std::vector<TComplexSingle>& x) const {
        if (cuts_.Hi > 0) {
            int32_t t = kW;
            for (int32_t k = cuts_.Hi; k <= kHalf; ++k) {
                if (k < cuts_.Hi + kW)
                    Scale(x[static_cast<size_t>(k)], taper_[static_cast<size_t>(t++)]);
                else
                    x[static_cast<size_t>(k)] = {0.0f, 0.0f};
            }
        }
        if (cuts_.Lo > 0) {
            int32_t t = 0;
            const int32_t last = std::min(cuts_.Lo, kN - 1);
            for (int32_t k = 0; k <= last; ++k) {
                if (k <= cuts_.Lo - kW)
                    x[static_cast<size_t>(k)] = {0.0f, 0.0f};
                else
                    Scale(x[static_cast<size_t>(k)], taper_[static_cast<size_t>(t++)]);
            }
        }
        for (int32_t k = 1; k <= kHalf; ++k) {
            const TComplexSingle bin = x[static_cast<size_t>(k)];
            x[static_cast<size_t>(kN - k)] = {bin.re, -bin.im};
        }
    }

    // Writes positions start .. start + 16383 that lie in the store: the first half from this P frame
    // and the tail of the previous H frame, the second half from this P and this H frame.
    void OverlapAdd(int64_t start, const BlockFrames& frames) {
        for (int32_t t = 0; t < kN; ++t) {
            const int64_t q = start + t;
            if (q >= count_) break;
            const int32_t own = RoundToInt32(frames.P[static_cast<size_t>(t)].re);
            if (t < kHalf) {
                if (q >= 0)
                    samples_[q * stride_] =
                        static_cast<int16_t>(static_cast<uint16_t>(own + overlapTail_[t]));
                overlapTail_[static_cast<size_t>(t)] =
                    RoundToInt32(frames.H[static_cast<size_t>(kHalf + t)].re);
            } else {
                const int32_t half = RoundToInt32(frames.H[static_cast<size_t>(t - kHalf)].re);
                if (q >= 0) samples_[q * stride_] = static_cast<int16_t>(static_cast<uint16_t>(own + half));
            }
        }
    }

    // The step counter of the fill-and-block loop: each pass takes count + 32768 fill steps and one
    // step per block, and the total it is measured against is (count + 16384) per pass. With two
    // channels, the second channel's passes follow the first's.
    void ReportProgress(int32_t pass, int64_t block, int64_t blocks) {
        const int64_t perPass = count_ + 2 * kN + blocks;
        const int64_t counter = (progressPass_ + pass) * perPass + (block + 1) * kN + block;
        const long double total = static_cast<long double>(count_ + kN) * progressPasses_;
        const auto percent = std::llrint(counter / total * 100);
        job_.SetProgress(static_cast<int>(std::clamp<long long>(percent, 0, 100)));
    }

    int16_t* samples_;
    int64_t count_;
    int stride_;
    int32_t progressPass_;   // passes of the store's run before this channel's first
    int32_t progressPasses_; // passes of the store's run in all
    int32_t passes_;
    FilterCutBins cuts_;
    JobControl& job_;
    std::vector<float> window_;        // FilterWindow
    std::vector<float> taper_;         // FilterTaper
    std::vector<int32_t> overlapTail_; // OverlapTail: rounded second half of the previous H frame
    size_t threads_;
    std::vector<BlockFrames> batch_;
    std::vector<std::vector<TComplexSingle>> work_; // one FFT scratch per worker
};

int32_t AbsoluteFieldValue(std::string_view text) {
    if (text.empty()) return 0;
    const int64_t value = std::llabs(static_cast<int64_t>(StrToInt(text)));
    return static_cast<int32_t>(std::min<int64_t>(value, INT32_MAX));
}

} // namespace

std::vector<float> BuildFilterWindow() {
    return HannTable(kN);
}

std::vector<float> BuildFilterTaper() {
    return HannTable(2 * kW);
}

FilterCutBins FilterCutBinsFor(int32_t sampleRate, int32_t hi, int32_t lo) {
    FilterCutBins cuts;
    if (sampleRate < 1) return cuts;
    int64_t kHi = RoundedBin(sampleRate, hi);
    if (kHi > 0) kHi -= kW / 2;
    int64_t kLo = RoundedBin(sampleRate, lo);
    if (kLo > 0) kLo += kW / 2;
    cuts.Hi = static_cast<int32_t>(std::clamp<int64_t>(kHi, 0, INT32_MAX));
    cuts.Lo = static_cast<int32_t>(std::clamp<int64_t>(kLo, 0, INT32_MAX));
    return cuts;
}

CheckedInput<FFTFilterRequest> FFTFilterRequestFromTexts(const SignalStore& store, std::string_view hiText,
                                                         std::string_view loText, int qualityIndex) {
    FFTFilterRequest request;
    request.Hi = AbsoluteFieldValue(hiText);
    request.Lo = AbsoluteFieldValue(loText);
    request.Passes = qualityIndex + 1;
    const int32_t nyquist = store.SampleRate / 2;
    if (store.SampleRate < 1)
        return CheckedInput<FFTFilterRequest>::Refused(SampleRateBelowOneText(store.SampleRate));
    const int32_t above = std::max(request.Hi, request.Lo);
    if (above > nyquist)
        return CheckedInput<FFTFilterRequest>::Refused("the cut-off " + std::to_string(above) +
                                                       " Hz is above half the sample rate (" +
                                                       std::to_string(nyquist) + " Hz)");
    return request;
}

void FFTBandFilter(SignalStore& store, int32_t hi, int32_t lo, int32_t passes, JobControl& job,
                   unsigned threads) {
    if (store.SampleRate < 1 || passes <= 0) return;
    for (const ChannelValues& channel : ChannelsOf(store)) {
        BandFilterRun run(channel, FilterCutBinsFor(store.SampleRate, hi, lo), passes, job, threads);
        run.Run();
        if (job.Stopping()) return;
    }
}
