#pragma once

#include <string>
#include <vector>

// A file named on the command line, with the option that named it ("--target", "-o"; empty for a
// plain argument).
struct NamedFile {
    std::string option;
    std::string path;
};

// What a command writes into an output.
enum class OutputKind { Audio, Picture, Correction, Text };

struct PlannedOutput {
    NamedFile file;
    OutputKind kind;
};

// Checked before a command reads or writes anything: no output may be one of the inputs or another
// output (the same file by device and inode, whichever links lead there), a folder, or an existing
// file of another kind (a recording, a picture or a correction) that it would replace. False after
// printing why; the command then stops with the usage status.
bool OutputsAreSafe(const std::vector<NamedFile>& inputs, const std::vector<PlannedOutput>& outputs);
