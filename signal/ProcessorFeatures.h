// What the processor offers beyond the build's common target, asked once: the kernels with AVX2 forms
// choose them by this.
#pragma once

inline bool ProcessorHasAvx2() {
    static const bool avx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return avx2;
}
