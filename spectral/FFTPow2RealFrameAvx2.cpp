// The real-frame kernels with AVX2 and FMA: the complex kernels' passes without their last quarter,
// the complex kernel on the third, and the same again on the first half, down to the straight-line
// kernels, which run whole.
#pragma GCC target("avx2,fma")

#include "spectral/FFTPow2RealFrameKernels.h"

#include "spectral/FFTPow2Avx2Leaves.h"
#include "spectral/FFTPow2Avx2Pass.h"

namespace {

using namespace fftpow2;

using ComplexKernels = KernelFamily<VectorPass, VectorLeaf>;

template <int N> void RealForward(TComplexSingle* a, const FFTPow2Tables& tables) {
    if constexpr (N <= kRealFrameWholeUpTo) {
        VectorLeaf<N, false>::Run(a, a, tables);
    } else {
        VectorPassOf<N, false, false>::Run(a, tables);
        ComplexKernels::Forward<N / 4>(a + N / 2, a + N / 2, tables);
        RealForward<N / 2>(a, tables);
    }
}

template <int N> void Run(TComplexSingle* a) {
    RealForward<N>(a, GetFFTPow2Tables());
}

template <int... Logs> constexpr RealFrameKernelTable MakeTable(std::integer_sequence<int, Logs...>) {
    RealFrameKernelTable table{};
    ((table[Logs + 1] = &Run<2 << Logs>), ...);
    return table;
}

} // namespace

const RealFrameKernelTable& GetAvx2RealFrameKernels() {
    static constexpr RealFrameKernelTable table =
        MakeTable(std::make_integer_sequence<int, kFFTPow2MaxLog>{});
    return table;
}
