#pragma once

#include <cstddef>

// Large zero-filled arrays of doubles (recording buffers, transform tables) come from one
// replaceable allocator, so that tests can make an allocation fail and see the failure paths.
using DoubleArrayAllocator = double* (*)(std::size_t count);

// Allocates `count` zero-filled doubles; null on failure.
double* AllocateDoubles(std::size_t count);
void FreeDoubles(double* p);

// Replaces the allocator (null restores the default) and returns the previous one. For tests that
// make allocation fail; a replacement that succeeds must return memory that delete[] frees.
DoubleArrayAllocator SetDoubleArrayAllocator(DoubleArrayAllocator allocator);

// Owner of one such array.
class DoubleArray {
  public:
    DoubleArray() = default;
    explicit DoubleArray(std::size_t count) : data(AllocateDoubles(count)) {}
    ~DoubleArray() { FreeDoubles(data); }
    DoubleArray(const DoubleArray&) = delete;
    DoubleArray& operator=(const DoubleArray&) = delete;
    DoubleArray(DoubleArray&& o) noexcept : data(o.data) { o.data = nullptr; }
    DoubleArray& operator=(DoubleArray&& o) noexcept {
        if (this != &o) {
            FreeDoubles(data);
            data = o.data;
            o.data = nullptr;
        }
        return *this;
    }

    double* get() const { return data; }
    explicit operator bool() const { return data != nullptr; }
    void reset() {
        FreeDoubles(data);
        data = nullptr;
    }

  private:
    double* data = nullptr;
};
