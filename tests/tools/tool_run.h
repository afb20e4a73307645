#pragma once

// Runs the built vorelline program with its output captured in files of a scratch folder.
#include "../plugin/temp_folder.h"

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

// The plug-in's documents folder is kept in the scratch folder; a sanitized tool's list of leak
// suppressions stays off stderr.
inline ToolRun RunVorelline(const TempFolder& folder, const std::string& arguments) {
    const std::string out = folder.File("stdout.txt"), err = folder.File("stderr.txt");
    const std::string command = "LSAN_OPTIONS=print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS} "
                                "XDG_DOCUMENTS_DIR=" +
                                Quote(folder.Str()) + " " + Quote(VORELLINE_PATH) + " " + arguments + " >" +
                                Quote(out) + " 2>" + Quote(err);
    ToolRun r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadWholeFile(out);
    r.err = ReadWholeFile(err);
    return r;
}
