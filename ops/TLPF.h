// A recursive low-pass filter: a chain of identical second-order sections, each the bilinear
// transform of 1 / (s^2 + s/Q + 1), run one sample at a time in double precision.
//
// Each section is gain * b0 * (1 + 2 z^-1 + z^-2) / (1 - a1n z^-1 + a2 z^-2). Its gain at zero
// frequency is exactly `gain`; its resonance peak lies at fc / 2 (the design angle is pi fc / fs / 2),
// so fc is twice the peak frequency of a section, not a -3 dB point.
#pragma once

#include <cstdint>
#include <vector>

class TLPF {
public:
    // sections: 0 ... 255 (0 passes samples unchanged); fc: cut-off parameter in Hz, 0 <= fc < fs;
    // fs: sample rate in Hz, > 0; Q: > sqrt(0.5); gain: output gain of every section.
    TLPF(uint8_t sections, double fc, double fs, double Q, double gain);

    // Runs one input sample through every section in order and returns the last section's output.
    double Process(double x) {
        double* st = state_.data();
        for (unsigned i = 0; i < sections_; ++i) {
            const double w1 = st[2 * i];     // w[n-1]
            const double w2 = st[2 * i + 1]; // w[n-2]
            const double w = x * b0_ + w1 * a1n_ - w2 * a2_;
            const double y = w1 * mid_ + w + w2;
            x = gain_ * y;
            st[2 * i + 1] = w1;
            st[2 * i] = w;
        }
        return x;
    }

    double a2() const { return a2_; }
    double a1n() const { return a1n_; }
    double b0() const { return b0_; }
    double gain() const { return gain_; }
    unsigned sections() const { return sections_; }

private:
    double a2_;        // feedback coefficient of the second delay: (1 - K + G) / D
    double a1n_;       // feedback coefficient of the first delay, sign included: 2 (1 - G) / D
    double b0_;        // input coefficient: G / D
    double mid_ = 2.0; // middle numerator coefficient
    double gain_;      // output gain applied after every section
    uint8_t sections_;
    std::vector<double> state_; // per section: w[n-1], w[n-2]; all zero at construction
};
