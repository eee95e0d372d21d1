#include "ops/TLPFPipeline.h"

#include <cstdint>

namespace {

// Two sections per vector, six vectors: section k lives in lane k / 6 of vector k % 6, so that the
// input of every section but 0 and 6 comes from the same lane of the vector before, and those two
// take the new value and the output of section 5 (lane 0 of the last vector).
typedef double Lanes __attribute__((vector_size(16)));
constexpr int kLanes = 2;
constexpr int kVectors = 6;

Lanes Both(double x) {
    return Lanes{x, x};
}

struct VectorCoefficients {
    Lanes b0, a1n, a2, mid, gain;
};

} // namespace

TLPFPipeline::TLPFPipeline(TLPF& filter) : filter_(filter), state_(filter.State().data()) {}

void TLPFPipeline::Run(double* values, size_t count) {
    const auto n = static_cast<int64_t>(count);
    if (filter_.sections() != kSections) {
        for (int64_t i = 0; i < n; ++i) values[i] = filter_.Process(values[i]);
        return;
    }
    // Step t gives section k value t - kDelay * k. The first and last steps, where some sections
    // have no value, run section by section; the steps between run all sections at once.
    const int64_t fill = kDelay * (kSections - 1);
    int64_t step = 0;
    for (; step < fill; ++step) ScalarStep(step, values, n);
    if (n > fill) {
        const int64_t steadyEnd = fill + (n - fill) / kDelay * kDelay;
        SteadySteps(fill, steadyEnd, values);
        step = steadyEnd;
    }
    for (; step < n + fill; ++step) ScalarStep(step, values, n);
}

// Sections from the last to the first, so that each reads its predecessor's hand-over from kDelay
// steps ago before the predecessor replaces it.
void TLPFPipeline::ScalarStep(int64_t step, double* values, int64_t count) {
    double* handover = handover_[step % kDelay];
    for (int k = kSections - 1; k >= 0; --k) {
        const int64_t n = step - kDelay * k;
        if (n < 0 || n >= count) continue;
        const double x = k == 0 ? values[n] : handover[k - 1];
        const double y = TLPFSectionStep(x, state_[2 * k], state_[2 * k + 1], filter_.b0(), filter_.a1n(),
                                         filter_.a2(), filter_.mid(), filter_.gain());
        if (k == kSections - 1)
            values[n] = y;
        else
            handover[k] = y;
    }
}

// Steps first .. end - 1 (a multiple of kDelay of them), in each of which every section has a value.
void TLPFPipeline::SteadySteps(int64_t first, int64_t end, double* values) {
    const VectorCoefficients c{Both(filter_.b0()), Both(filter_.a1n()), Both(filter_.a2()),
                               Both(filter_.mid()), Both(filter_.gain())};
    Lanes out[kDelay][kVectors];
    Lanes w1[kVectors];
    Lanes w2[kVectors];
    for (int v = 0; v < kVectors; ++v) {
        for (int j = 0; j < kLanes; ++j) {
            const int k = j * kVectors + v;
            for (int r = 0; r < kDelay; ++r) out[r][v][j] = handover_[r][k];
            w1[v][j] = state_[2 * k];
            w2[v][j] = state_[2 * k + 1];
        }
    }
    const int64_t lastOut = kDelay * (kSections - 1); // steps between a value's entry and its output
    for (int64_t step = first; step < end; step += kDelay) {
        for (int r = 0; r < kDelay; ++r) {
            Lanes in[kVectors];
            in[0] = Lanes{values[step + r], out[r][kVectors - 1][0]};
            for (int v = 1; v < kVectors; ++v) in[v] = out[r][v - 1];
            for (int v = 0; v < kVectors; ++v)
                out[r][v] = TLPFSectionStep(in[v], w1[v], w2[v], c.b0, c.a1n, c.a2, c.mid, c.gain);
            values[step + r - lastOut] = out[r][kVectors - 1][kLanes - 1];
        }
    }
    for (int v = 0; v < kVectors; ++v) {
        for (int j = 0; j < kLanes; ++j) {
            const int k = j * kVectors + v;
            for (int r = 0; r < kDelay; ++r) handover_[r][k] = out[r][v][j];
            state_[2 * k] = w1[v][j];
            state_[2 * k + 1] = w2[v][j];
        }
    }
}
