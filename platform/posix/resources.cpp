#include "platform/resources.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct Table {
    const EmbeddedResource* entries;
    size_t count;
};

std::mutex& TablesLock() {
    static std::mutex lock;
    return lock;
}
std::vector<Table>& Tables() {
    static std::vector<Table> tables;
    return tables;
}

class EmbeddedResources : public IResourceSource {
  public:
    ResourceBytes Find(const char* type, int id) override {
        std::lock_guard<std::mutex> guard(TablesLock());
        for (const Table& t : Tables())
            for (size_t i = 0; i < t.count; ++i) {
                const EmbeddedResource& r = t.entries[i];
                if (r.id == id && r.type && std::strcmp(r.type, type) == 0) return {r.data, r.size};
            }
        return {};
    }
};

} // namespace

void RegisterEmbeddedResources(const EmbeddedResource* table, size_t count) {
    if (!table || count == 0) return;
    std::lock_guard<std::mutex> guard(TablesLock());
    Tables().push_back({table, count});
}

IResourceSource& ModuleResources() {
    static EmbeddedResources resources;
    return resources;
}
