#include "graphics/image_cache.h"

#include "graphics/graphics.h"
#include "raster/bitmap.h"

ImageCache& ImageCache::Instance() {
    static ImageCache cache;
    return cache;
}

ImageCache::~ImageCache() {
    // Bitmaps first, then the entries; the lock goes with the object.
    for (Entry& e : entries)
        e.bitmap.reset();
    entries.clear();
}

RAST_IBitmap* ImageCache::Find(int resourceId) {
    std::lock_guard<std::mutex> guard(lock);
    for (Entry& e : entries)
        if (e.resourceId == resourceId) return e.bitmap.get();
    return nullptr;
}

RAST_IBitmap* ImageCache::Add(int resourceId, std::unique_ptr<RAST_IBitmap> bitmap) {
    if (!bitmap) return nullptr;
    std::lock_guard<std::mutex> guard(lock);
    entries.push_back({resourceId, std::move(bitmap)});
    return entries.back().bitmap.get();
}

int ImageCache::Count() {
    std::lock_guard<std::mutex> guard(lock);
    return int(entries.size());
}

IImageStrip IGraphics::LoadImageStrip(int resourceId, const char* fileName, int frames) {
    ImageCache& cache = ImageCache::Instance();
    RAST_IBitmap* bitmap = cache.Find(resourceId);
    if (!bitmap)
        bitmap =
            cache.Add(resourceId, std::unique_ptr<RAST_IBitmap>(LoadPlatformImage(resourceId, fileName)));
    IImageStrip strip;
    strip.bitmap = bitmap;
    strip.width = bitmap ? bitmap->Width() : 0;
    strip.height = bitmap ? bitmap->Height() : 0;
    strip.frames = frames < 1 ? 1 : frames;
    strip.framesHorizontal = false;
    return strip;
}
