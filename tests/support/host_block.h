#pragma once

// The host's side of one block through `process`: one input and one output bus, a buffer of either
// sample size per channel, and the ProcessData that points at them. Inputs start silent and outputs
// hold `outFill`, so that a check sees which samples the plug-in wrote. Not copyable: the
// ProcessData points into the object.

#include "vst3/abi/processing.h"

#include <cstddef>
#include <vector>

template <typename Sample> struct HostBlock {
    explicit HostBlock(int frames, int inChannels = 2, int outChannels = 2, Sample outFill = Sample(0))
        : in(Count(inChannels), std::vector<Sample>(Count(frames))),
          out(Count(outChannels), std::vector<Sample>(Count(frames), outFill)) {
        for (auto& c : in)
            inPtr.push_back(c.data());
        for (auto& c : out)
            outPtr.push_back(c.data());
        inBus.numChannels = inChannels;
        outBus.numChannels = outChannels;
        Bind(inBus, inPtr);
        Bind(outBus, outPtr);
        data.symbolicSampleSize = sizeof(Sample) == 8 ? vst::kSample64 : vst::kSample32;
        data.numSamples = frames;
        data.numInputs = 1;
        data.numOutputs = 1;
        data.inputs = &inBus;
        data.outputs = &outBus;
    }
    HostBlock(const HostBlock&) = delete;
    HostBlock& operator=(const HostBlock&) = delete;

    std::vector<std::vector<Sample>> in, out;
    std::vector<Sample*> inPtr, outPtr;
    vst::AudioBusBuffers inBus{}, outBus{};
    vst::ProcessData data{};

  private:
    static std::size_t Count(int n) { return n > 0 ? static_cast<std::size_t>(n) : 0; }
    static void Bind(vst::AudioBusBuffers& bus, std::vector<Sample*>& ptrs) {
        if constexpr (sizeof(Sample) == 8)
            bus.channelBuffers64 = ptrs.data();
        else
            bus.channelBuffers32 = ptrs.data();
    }
};
