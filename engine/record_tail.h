#pragma once

class IByteChunk;

// What follows the engine's record in a state: its owner's parameters. The engine writes and reads
// the tail within the same hold of the plug-in lock as the record, so that a state is one consistent
// picture of both.
class IRecordTail {
  public:
    virtual ~IRecordTail() = default;
    // Appends the tail; false when it could not be written whole.
    virtual bool SerializeRecordTail(IByteChunk& chunk) = 0;
    // Reads the tail from `position` (-1 when the record before it was incomplete); returns the
    // position after it, or -1. May run on the audio thread (a preset restored while processing):
    // it must not allocate or wait for anything but the plug-in lock, which the caller holds.
    virtual int UnserializeRecordTail(const IByteChunk& chunk, int position) = 0;
};
