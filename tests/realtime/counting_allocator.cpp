#include "counting_allocator.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool inAudioThread = false;
thread_local long allocations = 0;

void* Allocate(std::size_t size) {
    if (inAudioThread) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
} // namespace

AudioThreadScope::AudioThreadScope() {
    inAudioThread = true;
}
AudioThreadScope::~AudioThreadScope() {
    inAudioThread = false;
}
bool InAudioThreadScope() {
    return inAudioThread;
}
long AudioThreadAllocations() {
    return allocations;
}
void ResetAudioThreadAllocations() {
    allocations = 0;
}

// Memory from malloc, returned with free, so the sanitizers stay consistent.
void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (inAudioThread) ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (inAudioThread) ++allocations;
    return std::malloc(size ? size : 1);
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
