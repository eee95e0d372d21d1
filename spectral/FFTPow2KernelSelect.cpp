#include "spectral/FFTPow2Kernels.h"

const FFTPow2KernelTable& GetFFTPow2Kernels() {
    static const FFTPow2KernelTable& table = [&]() -> const FFTPow2KernelTable& {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) return GetAvx2FFTPow2Kernels();
        return GetPortableFFTPow2Kernels();
    }();
    return table;
}

bool FFTPow2KernelsAreAvx2() {
    static const bool avx2 = &GetFFTPow2Kernels() == &GetAvx2FFTPow2Kernels();
    return avx2;
}
