#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class RAST_CachedFont;

// Fonts shared by every editor of the process, one per (size, orientation, style, face). Entries
// stay until the module unloads. The lock is held only while the list is searched or appended to,
// never while a font is made, so two editors may both add a font; lookups take the first.
class FontCache {
  public:
    static FontCache& Instance();

    RAST_CachedFont* Find(int size, int orientation, int style, const char* face);
    RAST_CachedFont* Add(int size, int orientation, int style, const char* face,
                         std::unique_ptr<RAST_CachedFont> font);
    int Count();

    ~FontCache();

  private:
    struct Entry {
        int size;
        int orientation;
        int style;
        std::string face;
        std::unique_ptr<RAST_CachedFont> font;
    };
    std::mutex lock;
    std::vector<Entry> entries;
};
