#include "platform/resources.h"

#include <atomic>

namespace {
std::atomic<IResourceSource*> installed{nullptr};
}

ResourceBytes FindModuleResource(const char* type, int id) {
    if (!type) return {};
    IResourceSource* source = installed.load();
    return source ? source->Find(type, id) : ModuleResources().Find(type, id);
}

IResourceSource* InstallResourceSource(IResourceSource* source) {
    return installed.exchange(source);
}
