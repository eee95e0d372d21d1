// The end of the AVX2 forms that Avx2TargetBegin.h began.
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
