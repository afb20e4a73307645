#pragma once

// Runs the built vorelline program with its output captured in files of a scratch folder.
#include "../plugin/temp_folder.h"
#include "tools/vorelline/audio_file.h"
#include "tools/vorelline/demo_microphones.h"
#include "tools/vorelline/measurement.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

// The shell command that runs the tool: the plug-in's documents folder is kept in the scratch
// folder; a sanitized tool's list of leak suppressions stays off stderr.
inline std::string VorellineCommand(const TempFolder& folder, const std::string& arguments) {
    return "LSAN_OPTIONS=print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS} XDG_DOCUMENTS_DIR=" +
           Quote(folder.Str()) + " " + Quote(VORELLINE_PATH) + " " + arguments;
}

inline ToolRun RunVorelline(const TempFolder& folder, const std::string& arguments) {
    const std::string out = folder.File("stdout.txt"), err = folder.File("stderr.txt");
    const std::string command = VorellineCommand(folder, arguments) + " >" + Quote(out) + " 2>" + Quote(err);
    ToolRun r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadWholeFile(out);
    r.err = ReadWholeFile(err);
    return r;
}

// The demo's two microphones, recorded long enough for one measurement, written as mono files in
// `folder`. False (with the reason in `error`) when a file could not be written.
inline bool WriteDemoRecordings(const TempFolder& folder, const std::string& reference, const std::string& target,
                                std::string& error) {
    const DemoMicrophones mics = MakeDemoRecordings(48000.0, SamplesNeededForRecording(48000.0) + 1000);
    return WriteMono(folder.File(reference), {48000.0, mics.reference}, error) &&
           WriteMono(folder.File(target), {48000.0, mics.target}, error);
}
