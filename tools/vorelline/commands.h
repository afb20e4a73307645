#pragma once

#include <string>
#include <vector>

// Each command takes the whole argument list (args[0] is the program, args[1] the command) and returns
// the exit status: 0 done, 1 a file was refused, could not be written or a measurement failed, 2 a usage
// error or an output that is an input or another output.
int RunAnalyze(const std::vector<std::string>& args);
int RunDesign(const std::vector<std::string>& args);
int RunCalibration(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);
int RunApply(const std::vector<std::string>& args);
int RunExport(const std::vector<std::string>& args);
int RunCombine(const std::vector<std::string>& args);
int RunDemo(const std::vector<std::string>& args);

// Prints "usage: ..." for a command (or all commands for an empty name) with a reason on stderr;
// returns 2.
int UsageError(const std::string& command, const std::string& reason);
