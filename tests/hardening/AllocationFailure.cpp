#include "AllocationFailure.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_THREAD__)
#define ORVANE_REPLACE_OPERATOR_NEW 0
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ORVANE_REPLACE_OPERATOR_NEW 0
#endif
#endif
#ifndef ORVANE_REPLACE_OPERATOR_NEW
#define ORVANE_REPLACE_OPERATOR_NEW 1
#endif

namespace {

constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);
std::atomic<std::size_t> failFrom{kNoLimit};
std::atomic<std::size_t> refused{0};

} // namespace

FailAllocationsFrom::FailAllocationsFrom(std::size_t bytes) {
    failFrom.store(bytes, std::memory_order_relaxed);
}

FailAllocationsFrom::~FailAllocationsFrom() {
    failFrom.store(kNoLimit, std::memory_order_relaxed);
}

std::size_t FailAllocationsFrom::Refused() {
    return refused.load(std::memory_order_relaxed);
}

bool FailAllocationsFrom::Available() {
    return ORVANE_REPLACE_OPERATOR_NEW != 0;
}

#if ORVANE_REPLACE_OPERATOR_NEW

namespace {

bool MustFail(std::size_t size) {
    if (size < failFrom.load(std::memory_order_relaxed)) return false;
    refused.fetch_add(1, std::memory_order_relaxed);
    return true;
}

void* Allocate(std::size_t size, std::size_t alignment) {
    if (MustFail(size)) return nullptr;
    if (size == 0) size = 1;
    if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
    void* p = nullptr;
    return ::posix_memalign(&p, alignment, size) == 0 ? p : nullptr;
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment) {
    void* p = Allocate(size, alignment);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

} // namespace

void* operator new(std::size_t size) {
    return AllocateOrThrow(size, 0);
}
void* operator new[](std::size_t size) {
    return AllocateOrThrow(size, 0);
}
void* operator new(std::size_t size, std::align_val_t al) {
    return AllocateOrThrow(size, static_cast<std::size_t>(al));
}
void* operator new[](std::size_t size, std::align_val_t al) {
    return AllocateOrThrow(size, static_cast<std::size_t>(al));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, 0);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, 0);
}
void* operator new(std::size_t size, std::align_val_t al, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<std::size_t>(al));
}
void* operator new[](std::size_t size, std::align_val_t al, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<std::size_t>(al));
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(p);
}
#endif
