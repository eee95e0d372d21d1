// libFuzzer target for the WAV reader. Each input becomes the whole content of a file in memory
// (memfd), which ReadWavFile opens by its /proc path, so the fuzzed code is the one path the program
// uses. Besides the sanitizers' checks, every read must satisfy WavReadViolation's rules.
#include "fuzz/WavReadInvariants.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "WavReaderFuzz: %s (%s)\n", what, detail.c_str());
    std::abort();
}

// The in-memory file, created once and rewritten for every input.
int MemoryFile() {
    static const int fd = ::memfd_create("wav-fuzz-input", MFD_CLOEXEC);
    if (fd < 0) Fail("memfd_create failed", "");
    return fd;
}

void Replace(int fd, const uint8_t* data, size_t size) {
    if (::ftruncate(fd, 0) != 0) Fail("ftruncate failed", "");
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) Fail("pwrite failed", "");
        done += static_cast<size_t>(n);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = MemoryFile();
    Replace(fd, data, size);
    SignalStore store;
    const WavReadResult result = ReadWavFile(store, "/proc/self/fd/" + std::to_string(fd));
    const std::string violation = WavReadViolation(store, result, size);
    if (!violation.empty()) Fail("broken rule after a read", violation);
    return 0;
}
