// The kernels for processors with AVX2 and FMA: the passes of the sizes from 32 up and the kernels of
// 8 and 16 points work on four complex values per register. Only called after the processor check in
// GetFFTPow2Kernels.
#pragma GCC target("avx2,fma")

#include "spectral/FFTPow2Avx2Leaves.h"
#include "spectral/FFTPow2Avx2Pass.h"

using namespace fftpow2;

const FFTPow2KernelTable& GetAvx2FFTPow2Kernels() {
    static constexpr FFTPow2KernelTable table = KernelFamily<VectorPass, VectorLeaf>::Table();
    return table;
}
