#include "graphics/font_cache.h"

#include "raster/cached_font.h"

FontCache& FontCache::Instance() {
    static FontCache cache;
    return cache;
}

FontCache::~FontCache() {
    for (Entry& e : entries)
        e.font.reset();
    entries.clear();
}

RAST_CachedFont* FontCache::Find(int size, int orientation, int style, const char* face) {
    std::lock_guard<std::mutex> guard(lock);
    for (Entry& e : entries)
        if (e.size == size && e.orientation == orientation && e.style == style && e.face == face)
            return e.font.get();
    return nullptr;
}

RAST_CachedFont* FontCache::Add(int size, int orientation, int style, const char* face,
                                std::unique_ptr<RAST_CachedFont> font) {
    if (!font) return nullptr;
    std::lock_guard<std::mutex> guard(lock);
    entries.push_back({size, orientation, style, face, std::move(font)});
    return entries.back().font.get();
}

int FontCache::Count() {
    std::lock_guard<std::mutex> guard(lock);
    return int(entries.size());
}
