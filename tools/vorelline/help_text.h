#pragma once

#include <cstdio>
#include <string>
#include <vector>

// What `vorelline --help` and `vorelline COMMAND --help` print, and the usage lines of errors.
struct OptionHelp {
    const char* name; // as typed, with its value's placeholder
    const char* text; // what it does, ending with its default
};

struct CommandHelp {
    const char* name;
    const char* usage;   // one line: the command with every option
    const char* summary; // one line for the command list
    const char* description;
    std::vector<OptionHelp> options;
    const char* example;
};

// The commands in the order the help lists them.
const std::vector<CommandHelp>& CommandHelps();
// The command's help, or null for a name that is not a command.
const CommandHelp* FindCommandHelp(const std::string& name);

// The tool's version: the plug-in's.
const char* ToolVersion();

void PrintToolHelp(std::FILE* out);
void PrintCommandHelp(const CommandHelp& help, std::FILE* out);
void PrintVersion(std::FILE* out);
