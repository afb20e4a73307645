#pragma once

#include "vst3/abi/component.h"

#include <string>
#include <vector>

namespace vst {

// One bus: audio buses carry an arrangement, event buses a channel count. New buses start
// inactive whatever their flags say; the host activates them.
struct Bus {
    std::u16string name;
    BusType busType = kMain;
    uint32 flags = BusInfo::kDefaultActive;
    bool active = false;
    SpeakerArrangement arrangement = 0; // audio
    int32 eventChannels = 0;            // event

    int32 ChannelCount(MediaType type) const {
        return type == kAudio ? vst::ChannelCount(arrangement) : eventChannels;
    }
};

// The four ordered bus lists of a component.
class BusLists {
  public:
    std::vector<Bus>& List(MediaType type, BusDirection dir) {
        return type == kEvent ? (dir == kInput ? eventIn : eventOut) : (dir == kInput ? audioIn : audioOut);
    }
    // Null for a media type other than audio or event.
    const std::vector<Bus>* Find(MediaType type, BusDirection dir) const {
        if (type != kAudio && type != kEvent) return nullptr;
        return &const_cast<BusLists*>(this)->List(type, dir);
    }
    Bus* At(MediaType type, BusDirection dir, int32 index) {
        const std::vector<Bus>* list = Find(type, dir);
        if (!list || index < 0 || index >= static_cast<int32>(list->size())) return nullptr;
        return &List(type, dir)[static_cast<std::size_t>(index)];
    }

    void AddAudio(BusDirection dir, const char16* name, SpeakerArrangement arr, BusType type, uint32 flags) {
        Bus b;
        b.name = name;
        b.arrangement = arr;
        b.busType = type;
        b.flags = flags;
        List(kAudio, dir).push_back(b);
    }
    void AddEvent(BusDirection dir, const char16* name, int32 channels, BusType type, uint32 flags) {
        Bus b;
        b.name = name;
        b.eventChannels = channels;
        b.busType = type;
        b.flags = flags;
        List(kEvent, dir).push_back(b);
    }
    void Clear() {
        audioIn.clear();
        audioOut.clear();
        eventIn.clear();
        eventOut.clear();
    }

  private:
    std::vector<Bus> audioIn, audioOut, eventIn, eventOut;
};

} // namespace vst
