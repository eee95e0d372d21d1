// liquid-dsp for the core's files that use it, the demodulator's and Extract's (never a public header):
// its complex type as std::complex, and each object it creates owned by a unique_ptr that destroys it.
#pragma once

#include <complex>
#include <memory>

#include <liquid/liquid.h>

namespace liquid {

using Complex = liquid_float_complex;
static_assert(sizeof(Complex) == 2 * sizeof(float));

template <class Object, auto Destroy> struct Deleter {
    void operator()(Object object) const { Destroy(object); }
};
template <class Object, auto Destroy>
using Owned = std::unique_ptr<std::remove_pointer_t<Object>, Deleter<Object, Destroy>>;

using Nco = Owned<nco_crcf, nco_crcf_destroy>;
using ComplexResampler = Owned<msresamp_crcf, msresamp_crcf_destroy>;
using RealResampler = Owned<msresamp_rrrf, msresamp_rrrf_destroy>;
using ComplexFir = Owned<firfilt_crcf, firfilt_crcf_destroy>;
using RealIir = Owned<iirfilt_rrrf, iirfilt_rrrf_destroy>;
using FrequencyDemodulator = Owned<freqdem, freqdem_destroy>;
using AmplitudeDemodulator = Owned<ampmodem, ampmodem_destroy>;
using DotProduct = Owned<dotprod_crcf, dotprod_crcf_destroy>;

} // namespace liquid
