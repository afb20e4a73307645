#include "engine/double_array.h"

#include "platform/large_pages.h"

#include <atomic>
#include <cstring>
#include <new>

namespace {

double* DefaultAllocator(std::size_t count) {
    double* p = new (std::nothrow) double[count];
    if (!p) return nullptr;
    // The hint must come before the first touch, which is the zero fill.
    if (count * sizeof(double) >= (std::size_t{4} << 20)) AdviseLargePages(p, count * sizeof(double));
    std::memset(p, 0, count * sizeof(double));
    return p;
}

std::atomic<DoubleArrayAllocator> currentAllocator{&DefaultAllocator};

} // namespace

double* AllocateDoubles(std::size_t count) {
    if (count == 0) return nullptr;
    return currentAllocator.load()(count);
}

void FreeDoubles(double* p) {
    delete[] p;
}

DoubleArrayAllocator SetDoubleArrayAllocator(DoubleArrayAllocator allocator) {
    return currentAllocator.exchange(allocator ? allocator : &DefaultAllocator);
}
