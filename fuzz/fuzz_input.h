#pragma once

// Reads a fuzzer's bytes as a sequence of choices. Past the end every read gives zero, so a
// short input still makes a complete (if dull) run.

#include <cstddef>
#include <cstdint>
#include <cstring>

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : at(data), left(size) {}

    std::uint8_t Byte() {
        if (!left) return 0;
        --left;
        return *at++;
    }
    std::uint32_t U32() {
        std::uint32_t v = 0;
        Bytes(&v, sizeof v);
        return v;
    }
    // A value in [lo, hi], from as few bytes as the range needs.
    int Range(int lo, int hi) {
        const std::uint32_t span = static_cast<std::uint32_t>(hi - lo) + 1u;
        const std::uint32_t raw = span <= 256 ? Byte() : (span <= 65536 ? (Byte() | Byte() << 8) : U32());
        return lo + static_cast<int>(raw % span);
    }
    // Any bit pattern: NaNs, infinities and subnormals included.
    double RawDouble() {
        double v = 0.0;
        Bytes(&v, sizeof v);
        return v;
    }
    void Bytes(void* out, std::size_t n) {
        const std::size_t take = n < left ? n : left;
        std::memcpy(out, at, take);
        std::memset(static_cast<std::uint8_t*>(out) + take, 0, n - take);
        at += take;
        left -= take;
    }
    bool Empty() const { return left == 0; }
    std::size_t Left() const { return left; }
    const std::uint8_t* Here() const { return at; }
    void Skip(std::size_t n) {
        const std::size_t take = n < left ? n : left;
        at += take;
        left -= take;
    }

  private:
    const std::uint8_t* at;
    std::size_t left;
};
