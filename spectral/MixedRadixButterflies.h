// The butterflies of the mixed-radix FFT: in place on z[0 .. r-1], each computes the r-point DFT with
// the negative exponent. Radices 2, 3, 4, 5, 8 and 10 have their own; any other odd radix uses the
// general one with its table of r-th roots of unity.
#pragma once

#include "spectral/MixedRadixFFT.h"

#define MIXED_RADIX_INLINE inline __attribute__((always_inline))

namespace mixedradix {

// The constants of the radix-3, -5 and -8 butterflies, as 14-digit decimals.
inline constexpr double K31 = -1.5;              // cos(2pi/3) - 1
inline constexpr double K32 = 0.86602540378444;  // sin(2pi/3)
inline constexpr double K51 = -1.25;             // (cos(2pi/5) + cos(4pi/5))/2 - 1
inline constexpr double K52 = 0.55901699437495;  // (cos(2pi/5) - cos(4pi/5))/2
inline constexpr double K53 = -0.95105651629515; // -sin(2pi/5)
inline constexpr double K54 = -1.5388417685876;  // -(sin(2pi/5) + sin(4pi/5))
inline constexpr double K55 = 0.36327126400268;  // sin(2pi/5) - sin(4pi/5)
inline constexpr double K8 = 0.70710678118655;   // sqrt(1/2)

MIXED_RADIX_INLINE TComplexDouble Make(double re, double im) {
    return {re, im};
}
MIXED_RADIX_INLINE TComplexDouble Add(TComplexDouble a, TComplexDouble b) {
    return {a.re + b.re, a.im + b.im};
}
MIXED_RADIX_INLINE TComplexDouble Sub(TComplexDouble a, TComplexDouble b) {
    return {a.re - b.re, a.im - b.im};
}
MIXED_RADIX_INLINE TComplexDouble Mul(TComplexDouble a, TComplexDouble b) {
    return {a.re * b.re - a.im * b.im, a.im * b.re + a.re * b.im};
}
MIXED_RADIX_INLINE TComplexDouble Scale(double s, TComplexDouble a) {
    return {s * a.re, s * a.im};
}

MIXED_RADIX_INLINE void Butterfly2(TComplexDouble* z) {
    const TComplexDouble z0 = z[0];
    z[0] = Add(z0, z[1]);
    z[1] = Sub(z0, z[1]);
}

MIXED_RADIX_INLINE void Butterfly3(TComplexDouble* z) {
    const TComplexDouble t1 = Add(z[1], z[2]);
    z[0] = Add(z[0], t1);
    const TComplexDouble m1 = Scale(K31, t1);
    const TComplexDouble m2 = Scale(K32, Make(z[1].im - z[2].im, z[2].re - z[1].re));
    const TComplexDouble s1 = Add(z[0], m1);
    z[1] = Add(s1, m2);
    z[2] = Sub(s1, m2);
}

MIXED_RADIX_INLINE void Butterfly4(TComplexDouble& z0, TComplexDouble& z1, TComplexDouble& z2,
                                   TComplexDouble& z3) {
    const TComplexDouble t1 = Add(z0, z2), t2 = Add(z1, z3), m2 = Sub(z0, z2);
    const TComplexDouble m3 = Make(z1.im - z3.im, z3.re - z1.re);
    z0 = Add(t1, t2);
    z2 = Sub(t1, t2);
    z1 = Add(m2, m3);
    z3 = Sub(m2, m3);
}

MIXED_RADIX_INLINE void Butterfly4(TComplexDouble* z) {
    Butterfly4(z[0], z[1], z[2], z[3]);
}

MIXED_RADIX_INLINE void Butterfly5(TComplexDouble& z0, TComplexDouble& z1, TComplexDouble& z2,
                                   TComplexDouble& z3, TComplexDouble& z4) {
    const TComplexDouble t1 = Add(z1, z4), t2 = Add(z2, z3), t3 = Sub(z1, z4), t4 = Sub(z3, z2);
    const TComplexDouble t5 = Add(t1, t2);
    z0 = Add(z0, t5);
    const TComplexDouble m1 = Scale(K51, t5), m2 = Scale(K52, Sub(t1, t2));
    const TComplexDouble m3 = Scale(K53, Make(-(t3.im + t4.im), t3.re + t4.re));
    const TComplexDouble m4 = Scale(K54, Make(-t4.im, t4.re));
    const TComplexDouble m5 = Scale(K55, Make(-t3.im, t3.re));
    const TComplexDouble s3 = Sub(m3, m4), s5 = Add(m3, m5), s1 = Add(z0, m1);
    const TComplexDouble s2 = Add(s1, m2), s4 = Sub(s1, m2);
    z1 = Add(s2, s3);
    z2 = Add(s4, s5);
    z3 = Sub(s4, s5);
    z4 = Sub(s2, s3);
}

MIXED_RADIX_INLINE void Butterfly5(TComplexDouble* z) {
    Butterfly5(z[0], z[1], z[2], z[3], z[4]);
}

MIXED_RADIX_INLINE void Butterfly8(TComplexDouble* z) {
    TComplexDouble a0 = z[0], a1 = z[2], a2 = z[4], a3 = z[6];
    TComplexDouble b0 = z[1], b1 = z[3], b2 = z[5], b3 = z[7];
    Butterfly4(a0, a1, a2, a3);
    Butterfly4(b0, b1, b2, b3);
    b1 = Make(K8 * (b1.re + b1.im), K8 * (b1.im - b1.re));
    b2 = Make(b2.im, -b2.re);
    b3 = Make(K8 * (b3.im - b3.re), -K8 * (b3.re + b3.im));
    z[0] = Add(a0, b0);
    z[4] = Sub(a0, b0);
    z[1] = Add(a1, b1);
    z[5] = Sub(a1, b1);
    z[2] = Add(a2, b2);
    z[6] = Sub(a2, b2);
    z[3] = Add(a3, b3);
    z[7] = Sub(a3, b3);
}

// 10 = 2 * 5 by the prime-factor split: two 5-point butterflies, then 2-point ones, no twiddles.
MIXED_RADIX_INLINE void Butterfly10(TComplexDouble* z) {
    TComplexDouble a0 = z[0], a1 = z[2], a2 = z[4], a3 = z[6], a4 = z[8];
    TComplexDouble b0 = z[5], b1 = z[7], b2 = z[9], b3 = z[1], b4 = z[3];
    Butterfly5(a0, a1, a2, a3, a4);
    Butterfly5(b0, b1, b2, b3, b4);
    z[0] = Add(a0, b0);
    z[5] = Sub(a0, b0);
    z[6] = Add(a1, b1);
    z[1] = Sub(a1, b1);
    z[2] = Add(a2, b2);
    z[7] = Sub(a2, b2);
    z[8] = Add(a3, b3);
    z[3] = Sub(a3, b3);
    z[4] = Add(a4, b4);
    z[9] = Sub(a4, b4);
}

// Any odd radix n; trig[k] = exp(-2*pi*i*k/n). The sums of z[j] and z[n-j] share their products.
// v and w are work arrays of at least (n + 1)/2 values.
inline void OddRadixButterfly(TComplexDouble* z, int32_t n, const TComplexDouble* trig, TComplexDouble* v,
                              TComplexDouble* w) {
    const int32_t half = (n + 1) / 2;
    for (int32_t j = 1; j < half; ++j) {
        v[j] = Make(z[j].re + z[n - j].re, z[j].im - z[n - j].im);
        w[j] = Make(z[j].re - z[n - j].re, z[j].im + z[n - j].im);
    }
    const TComplexDouble z0 = z[0];
    for (int32_t j = 1; j < half; ++j) {
        TComplexDouble up = z0, down = z0;
        int32_t k = j;
        for (int32_t i = 1; i < half; ++i) {
            const double rere = trig[k].re * v[i].re, imim = trig[k].im * v[i].im;
            const double reim = trig[k].re * w[i].im, imre = trig[k].im * w[i].re;
            down = Add(down, Make(rere + imim, reim - imre));
            up = Add(up, Make(rere - imim, reim + imre));
            k += j;
            if (k >= n) k -= n;
        }
        z[j] = up;
        z[n - j] = down;
    }
    for (int32_t j = 1; j < half; ++j) z[0] = Add(z[0], Make(v[j].re, w[j].im));
}

} // namespace mixedradix
