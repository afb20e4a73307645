#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Every file the tool writes for the user. A command makes the whole contents of its files first;
// they are then written beside their targets and put in place only once all of them are complete.
// A failure (a full disk, no permission) leaves every existing file as it was, and no partial or
// temporary file behind.
class OutputFiles {
  public:
    void Add(std::string path, std::vector<std::uint8_t> contents);
    // Writes them all; false with "cannot write PATH: REASON ..." in `error` when one fails.
    bool WriteAll(std::string& error);

  private:
    struct Pending {
        std::string path;
        std::vector<std::uint8_t> contents;
    };
    std::vector<Pending> files;
};

// One file on its own.
bool WriteOutputFile(const std::string& path, std::vector<std::uint8_t> contents, std::string& error);
