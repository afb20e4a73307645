#pragma once

#include <cstddef>

// Module resources by (type, id), e.g. ("PNG", 101): on Windows the module's own resources, elsewhere
// byte arrays embedded at build time and registered with RegisterEmbeddedResources. Tests install a
// source of their own.
struct ResourceBytes {
    const unsigned char* data = nullptr;
    size_t size = 0;
};

class IResourceSource {
  public:
    virtual ~IResourceSource() = default;
    // {null, 0} when there is no such resource.
    virtual ResourceBytes Find(const char* type, int id) = 0;
};

// Looks the resource up in the installed source.
ResourceBytes FindModuleResource(const char* type, int id);

// Installs a replacement (null restores the module's own); returns the one it replaces.
IResourceSource* InstallResourceSource(IResourceSource* source);

// The module's own resources.
IResourceSource& ModuleResources();

// One embedded resource; tables of these are generated at build time for non-Windows modules.
struct EmbeddedResource {
    const char* type;
    int id;
    const unsigned char* data;
    size_t size;
};

// Adds a table (kept by pointer, so it must live as long as the module). Ignored on Windows, where
// the resource script provides the bytes.
void RegisterEmbeddedResources(const EmbeddedResource* table, size_t count);
