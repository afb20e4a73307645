#pragma once

// The host side of the binary interface, as small as the tests need: the host application, a
// component handler that records edits, a memory stream, parameter queues and a view frame.
// Objects live on the test's stack; their counts are tracked so the tests can see leaks.

#include "vst3/abi/component.h"
#include "vst3/abi/controller.h"
#include "vst3/abi/view.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

template <typename Interface> class HostObject : public Interface {
  public:
    vst::tresult queryInterface(const vst::TUID iid, void** obj) override {
        if (vst::FUnknown::iid.Matches(iid) || Interface::iid.Matches(iid)) {
            *obj = this;
            addRef();
            return vst::kResultOk;
        }
        *obj = nullptr;
        return vst::kNoInterface;
    }
    vst::uint32 addRef() override { return ++refs; }
    vst::uint32 release() override { return --refs; }
    int References() const { return refs; }

  private:
    std::atomic<int> refs{1};
};

class TestHostApplication : public HostObject<vst::IHostApplication> {
  public:
    explicit TestHostApplication(std::u16string n = u"VST3PluginTestHost") : name(std::move(n)) {}
    vst::tresult getName(vst::String128 out) override {
        std::memset(out, 0, sizeof(vst::String128));
        for (std::size_t i = 0; i < name.size() && i < 127; ++i)
            out[i] = name[i];
        return vst::kResultOk;
    }
    vst::tresult createInstance(vst::TUID, vst::TUID, void** obj) override {
        *obj = nullptr;
        return vst::kNotImplemented;
    }

  private:
    std::u16string name;
};

class RecordingHandler : public HostObject<vst::IComponentHandler> {
  public:
    struct Edit {
        char kind; // 'b' begin, 'p' perform, 'e' end
        vst::ParamID id;
        double value;
    };
    vst::tresult beginEdit(vst::ParamID id) override { return Add('b', id, 0.0); }
    vst::tresult performEdit(vst::ParamID id, vst::ParamValue v) override { return Add('p', id, v); }
    vst::tresult endEdit(vst::ParamID id) override { return Add('e', id, 0.0); }
    vst::tresult restartComponent(vst::int32 flags) override {
        restarts.push_back(flags);
        return vst::kResultOk;
    }
    std::vector<Edit> edits;
    std::vector<vst::int32> restarts;

  private:
    vst::tresult Add(char kind, vst::ParamID id, double v) {
        edits.push_back({kind, id, v});
        return vst::kResultOk;
    }
};

// A memory stream; `limit` caps how many bytes reads may deliver in total (a short stream).
class MemoryStream : public HostObject<vst::IBStream> {
  public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<unsigned char> bytes, std::size_t limit = SIZE_MAX)
        : data(std::move(bytes)), readLimit(limit) {}

    vst::tresult read(void* buffer, vst::int32 n, vst::int32* got) override {
        std::size_t available = std::min(data.size(), readLimit);
        available = pos < available ? available - pos : 0;
        std::size_t count = std::min<std::size_t>(available, n < 0 ? 0 : static_cast<std::size_t>(n));
        count = std::min(count, perRead);
        if (count) std::memcpy(buffer, data.data() + pos, count);
        pos += count;
        if (got) *got = static_cast<vst::int32>(count);
        return count == 0 && n > 0 ? vst::kResultFalse : vst::kResultOk;
    }
    vst::tresult write(void* buffer, vst::int32 n, vst::int32* written) override {
        if (failWrites) {
            if (written) *written = 0;
            return vst::kResultFalse;
        }
        const auto* b = static_cast<const unsigned char*>(buffer);
        data.insert(data.end(), b, b + n);
        if (written) *written = n;
        return vst::kResultOk;
    }
    vst::tresult seek(vst::int64 to, vst::int32 mode, vst::int64* result) override {
        vst::int64 base = mode == kIBSeekCur
                              ? static_cast<vst::int64>(pos)
                              : (mode == kIBSeekEnd ? static_cast<vst::int64>(data.size()) : 0);
        pos = static_cast<std::size_t>(std::max<vst::int64>(0, base + to));
        if (result) *result = static_cast<vst::int64>(pos);
        return vst::kResultOk;
    }
    vst::tresult tell(vst::int64* at) override {
        if (at) *at = static_cast<vst::int64>(pos);
        return vst::kResultOk;
    }
    std::vector<unsigned char> data;
    std::size_t perRead = SIZE_MAX; // most bytes one read delivers
    bool failWrites = false;

  private:
    std::size_t pos = 0;
    std::size_t readLimit = SIZE_MAX;
};

class ValueQueue final : public HostObject<vst::IParamValueQueue> {
  public:
    ValueQueue(vst::ParamID i, std::vector<std::pair<int, double>> p) : id(i), points(std::move(p)) {}
    vst::ParamID getParameterId() override { return id; }
    vst::int32 getPointCount() override { return static_cast<vst::int32>(points.size()); }
    vst::tresult getPoint(vst::int32 index, vst::int32& offset, vst::ParamValue& value) override {
        if (index < 0 || index >= getPointCount()) return vst::kResultFalse;
        offset = points[static_cast<std::size_t>(index)].first;
        value = points[static_cast<std::size_t>(index)].second;
        return vst::kResultOk;
    }
    vst::tresult addPoint(vst::int32, vst::ParamValue, vst::int32&) override { return vst::kResultFalse; }

  private:
    vst::ParamID id;
    std::vector<std::pair<int, double>> points;
};

class ParameterChanges : public HostObject<vst::IParameterChanges> {
  public:
    void Add(vst::ParamID id, std::vector<std::pair<int, double>> points) {
        queues.emplace_back(std::make_unique<ValueQueue>(id, std::move(points)));
    }
    vst::int32 getParameterCount() override { return static_cast<vst::int32>(queues.size()); }
    vst::IParamValueQueue* getParameterData(vst::int32 i) override {
        return i >= 0 && i < getParameterCount() ? queues[static_cast<std::size_t>(i)].get() : nullptr;
    }
    vst::IParamValueQueue* addParameterData(const vst::ParamID&, vst::int32&) override { return nullptr; }

  private:
    std::vector<std::unique_ptr<ValueQueue>> queues;
};

class RecordingFrame : public HostObject<vst::IPlugFrame> {
  public:
    vst::tresult resizeView(vst::IPlugView*, vst::ViewRect* r) override {
        requests.push_back(*r);
        return vst::kResultOk;
    }
    std::vector<vst::ViewRect> requests;
};
