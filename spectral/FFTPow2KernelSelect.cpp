#include "spectral/FFTPow2Kernels.h"

const FFTPow2KernelTable& GetFFTPow2Kernels() {
    return GetPortableFFTPow2Kernels();
}
