#include "engine/double_array.h"

#include <atomic>
#include <new>

namespace {

double* DefaultAllocator(std::size_t count) { return new (std::nothrow) double[count](); }

std::atomic<DoubleArrayAllocator> currentAllocator{&DefaultAllocator};

} // namespace

double* AllocateDoubles(std::size_t count) {
    if (count == 0)
        return nullptr;
    return currentAllocator.load()(count);
}

void FreeDoubles(double* p) { delete[] p; }

DoubleArrayAllocator SetDoubleArrayAllocator(DoubleArrayAllocator allocator) {
    return currentAllocator.exchange(allocator ? allocator : &DefaultAllocator);
}
