// A recursive low-pass filter: a chain of identical second-order sections, each the bilinear
// transform of 1 / (s^2 + s/Q + 1), run one sample at a time in double precision.
//
// Each section is gain * b0 * (1 + 2 z^-1 + z^-2) / (1 - a1n z^-1 + a2 z^-2). Its gain at zero
// frequency is exactly `gain`; its resonance peak lies at fc / 2 (the design angle is pi fc / fs / 2),
// so fc is twice the peak frequency of a section, not a -3 dB point.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// One section on one input x, with its delays w1 = w[n-1] and w2 = w[n-2]: every intermediate value
// rounded to the type, in this order, and no operation fused with another (the files that use it are
// compiled without contraction). T is double, or a vector of doubles that runs several sections side
// by side, lane by lane.
template <class T> inline T TLPFSectionStep(T x, T& w1, T& w2, T b0, T a1n, T a2, T mid, T gain) {
    const T w = x * b0 + w1 * a1n - w2 * a2;
    const T y = w1 * mid + w + w2;
    w2 = w1;
    w1 = w;
    return gain * y;
}

class TLPF {
public:
    // sections: 0 ... 255 (0 passes samples unchanged); fc: cut-off parameter in Hz, 0 <= fc < fs;
    // fs: sample rate in Hz, > 0; Q: > sqrt(0.5); gain: output gain of every section.
    TLPF(uint8_t sections, double fc, double fs, double Q, double gain);

    // Runs one input sample through every section in order and returns the last section's output.
    double Process(double x) {
        double* st = state_.data();
        for (unsigned i = 0; i < sections_; ++i)
            x = TLPFSectionStep(x, st[2 * i], st[2 * i + 1], b0_, a1n_, a2_, mid_, gain_);
        return x;
    }

    double a2() const { return a2_; }
    double a1n() const { return a1n_; }
    double b0() const { return b0_; }
    double mid() const { return mid_; }
    double gain() const { return gain_; }
    unsigned sections() const { return sections_; }

    // The delays, two per section in order: w[n-1] at 2i, w[n-2] at 2i + 1. Whoever runs the sections
    // another way (several at once) takes them from here and leaves them here.
    std::span<double> State() { return state_; }

private:
    double a2_;        // feedback coefficient of the second delay: (1 - K + G) / D
    double a1n_;       // feedback coefficient of the first delay, sign included: 2 (1 - G) / D
    double b0_;        // input coefficient: G / D
    double mid_ = 2.0; // middle numerator coefficient
    double gain_;      // output gain applied after every section
    uint8_t sections_;
    std::vector<double> state_; // per section: w[n-1], w[n-2]; all zero at construction
};
