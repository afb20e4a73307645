#pragma once

// A host's state stream that hands out its bytes in pieces of chosen sizes, may claim to have
// delivered more than asked, and may fail after a number of reads: what a careless or slow host
// does to setState.

#include "vst3/abi/unknown.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

class TricklingStream final : public vst::IBStream {
  public:
    std::vector<std::uint8_t> bytes;
    std::vector<int> pieces;      // sizes of successive reads, used in turn; empty: everything at once
    int failAfterReads = -1;      // reads that succeed before every later one fails; -1: never
    bool overstateCounts = false; // report twice the bytes really copied

    vst::tresult queryInterface(const vst::TUID iid, void** obj) override {
        if (vst::FUnknown::iid.Matches(iid) || vst::IBStream::iid.Matches(iid)) {
            *obj = this;
            return vst::kResultOk;
        }
        *obj = nullptr;
        return vst::kNoInterface;
    }
    vst::uint32 addRef() override { return 2; }
    vst::uint32 release() override { return 1; }

    vst::tresult read(void* buffer, vst::int32 n, vst::int32* got) override {
        if (got) *got = 0;
        if (failAfterReads >= 0 && reads >= failAfterReads) return vst::kResultFalse;
        std::size_t want = n < 0 ? 0 : static_cast<std::size_t>(n);
        if (!pieces.empty())
            want = std::min<std::size_t>(want, static_cast<std::size_t>(pieces[reads % pieces.size()]));
        const std::size_t count = std::min(want, bytes.size() - pos);
        if (count) std::memcpy(buffer, bytes.data() + pos, count);
        pos += count;
        ++reads;
        if (got) *got = static_cast<vst::int32>(overstateCounts ? 2 * count : count);
        return count == 0 && n > 0 ? vst::kResultFalse : vst::kResultOk;
    }
    vst::tresult write(void*, vst::int32, vst::int32* written) override {
        if (written) *written = 0;
        return vst::kResultFalse;
    }
    vst::tresult seek(vst::int64, vst::int32, vst::int64*) override { return vst::kResultFalse; }
    vst::tresult tell(vst::int64* at) override {
        if (at) *at = static_cast<vst::int64>(pos);
        return vst::kResultOk;
    }

  private:
    std::size_t pos = 0;
    int reads = 0;
};

// Collects what getState writes.
class CollectingStream final : public vst::IBStream {
  public:
    std::vector<std::uint8_t> bytes;
    vst::tresult queryInterface(const vst::TUID, void** obj) override {
        *obj = nullptr;
        return vst::kNoInterface;
    }
    vst::uint32 addRef() override { return 2; }
    vst::uint32 release() override { return 1; }
    vst::tresult read(void*, vst::int32, vst::int32* got) override {
        if (got) *got = 0;
        return vst::kResultFalse;
    }
    vst::tresult write(void* buffer, vst::int32 n, vst::int32* written) override {
        const auto* b = static_cast<const std::uint8_t*>(buffer);
        if (n > 0) bytes.insert(bytes.end(), b, b + n);
        if (written) *written = n < 0 ? 0 : n;
        return vst::kResultOk;
    }
    vst::tresult seek(vst::int64, vst::int32, vst::int64*) override { return vst::kResultFalse; }
    vst::tresult tell(vst::int64* at) override {
        if (at) *at = static_cast<vst::int64>(bytes.size());
        return vst::kResultOk;
    }
};
