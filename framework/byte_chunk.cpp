#include "framework/byte_chunk.h"

#include <new>
#include <stdexcept>

namespace {
bool ReserveInSteps(std::vector<uint8_t>& bytes, std::size_t needed) {
    if (needed <= bytes.capacity()) return true;
    std::size_t step = IByteChunk::kGrowStep;
    try {
        bytes.reserve((needed + step - 1) / step * step);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}
} // namespace

int IByteChunk::Put(const void* data, int count) {
    if (count < 0 || (count > 0 && !data)) return 0;
    std::size_t needed = bytes.size() + static_cast<std::size_t>(count);
    if (needed > 0x7fffffff || !ReserveInSteps(bytes, needed)) return 0;
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + count);
    return Size();
}

int IByteChunk::Get(void* out, int count, int position) const {
    if (position < 0 || count < 0 || !out) return -1;
    if (static_cast<int64_t>(position) + count > Size()) return -1;
    if (count) std::memcpy(out, bytes.data() + position, static_cast<std::size_t>(count));
    return position + count;
}

bool IByteChunk::Resize(int newSize) {
    if (newSize < 0 || !ReserveInSteps(bytes, static_cast<std::size_t>(newSize))) return false;
    bytes.resize(static_cast<std::size_t>(newSize), 0);
    return true;
}
