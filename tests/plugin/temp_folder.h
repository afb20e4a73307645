#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder() {
        std::random_device rd;
        path = std::filesystem::temp_directory_path() /
               ("tv-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Str() const { return path.string(); }
    std::string File(const std::string& name) const { return (path / name).string(); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(path / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return File(name);
    }

    std::filesystem::path path;
};
