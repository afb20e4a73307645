#pragma once

// Heap allocations made by the current thread while it is marked as the audio thread. The
// program's global operator new counts them (counting_allocator.cpp).
struct AudioThreadScope {
    AudioThreadScope();
    ~AudioThreadScope();
};
bool InAudioThreadScope(); // the calling thread is marked as the audio thread
long AudioThreadAllocations();
void ResetAudioThreadAllocations();
