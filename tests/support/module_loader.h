#pragma once

#include <string>

// Loads a module file by path and finds its exported functions.
class LoadedModule {
  public:
    explicit LoadedModule(const std::string& path);
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    bool Loaded() const { return handle != nullptr; }
    void* Handle() const { return handle; }
    void* Symbol(const char* name) const;
    const std::string& Error() const { return error; }

  private:
    void* handle = nullptr;
    std::string error;
};

// Points the user's documents folder at `folder` for modules loaded afterwards, where the
// platform allows it, so that tests never write into the real one.
void UseDocumentsFolder(const std::string& folder);
