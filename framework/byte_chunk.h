#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// Growable byte buffer holding plug-in state: appended at the end, read from a caller-held
// position. Numbers are stored in the machine's native little-endian layout.
class IByteChunk {
  public:
    static constexpr int kGrowStep = 4096;

    // Appends bytes; returns the new size, or 0 when memory could not be had (contents unchanged).
    int Put(const void* data, int bytes);
    template <typename T> int PutValue(const T& v) { return Put(&v, sizeof(T)); }

    // Reads bytes at position; returns the position after them, or -1 (nothing written to out)
    // when they do not all lie inside the chunk.
    int Get(void* out, int bytes, int position) const;
    template <typename T> int GetValue(T* v, int position) const { return Get(v, sizeof(T), position); }

    int Size() const { return static_cast<int>(bytes.size()); }
    const uint8_t* Data() const { return bytes.data(); }
    uint8_t* Data() { return bytes.data(); }
    // Sets the size (new bytes are zero); false when memory could not be had.
    bool Resize(int newSize);
    void Clear() { bytes.clear(); }

  private:
    std::vector<uint8_t> bytes;
};
