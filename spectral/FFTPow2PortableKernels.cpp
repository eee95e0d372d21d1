// The portable kernels: plain single-precision arithmetic that any x86-64 runs.
#include "spectral/FFTPow2KernelFamily.h"

const FFTPow2KernelTable& GetPortableFFTPow2Kernels() {
    static constexpr FFTPow2KernelTable table =
        fftpow2::KernelFamily<fftpow2::ScalarPass, fftpow2::ScalarLeaf>::Table();
    return table;
}
