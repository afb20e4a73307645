// Host state from anywhere, through the binding's setState for the component or the controller,
// delivered in pieces. The first bytes choose how the stream behaves; the rest is the stream.
// Afterwards the state written back must be readable again to the same record, and the audio
// path must play cleanly.
#include "fuzz_input.h"
#include "fuzz_plugin.h"
#include "trickling_stream.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t mode = in.Byte();
    const bool controller = mode & 1;
    const bool prepareFirst = mode & 2; // a state restored before or after setupProcessing
    TricklingStream stream;
    stream.overstateCounts = mode & 4;
    if (mode & 8) stream.failAfterReads = in.Range(0, 15);
    const int pieceCount = (mode >> 4) & 7;
    for (int i = 0; i < pieceCount; ++i)
        stream.pieces.push_back(in.Range(1, 2048));
    stream.bytes.assign(in.Here(), in.Here() + in.Left());

    FuzzPlugin plugin;
    if (prepareFirst) plugin.Prepare(44100.0);
    if (controller)
        plugin.fx->controllerSetState(&stream);
    else
        plugin.fx->componentSetState(&stream);
    if (!prepareFirst) plugin.Prepare(96000.0);

    // Whatever was restored is a state the plug-in can save and read back unchanged.
    CollectingStream saved;
    FuzzCheck(plugin.fx->componentGetState(&saved) == vst::kResultOk, "getState after setState");
    FuzzPlugin other;
    other.Prepare(96000.0);
    TricklingStream replay;
    replay.bytes = saved.bytes;
    FuzzCheck(other.fx->componentSetState(&replay) == vst::kResultOk, "saved state restores");
    CollectingStream savedAgain;
    other.fx->componentGetState(&savedAgain);
    FuzzCheck(savedAgain.bytes == saved.bytes, "state round trip");

    plugin.CheckCleanBlock();
    return 0;
}
