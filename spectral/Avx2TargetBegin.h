// Included where a source file's AVX2 forms begin, and Avx2TargetEnd.h where they end: the functions
// defined between the two are compiled for AVX2, while the inline functions of headers included
// before keep the common target, so that no copy of them made here is what the linker keeps for the
// other files. The two come in pairs and have no include guard.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
