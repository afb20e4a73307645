#pragma once

#include <memory>
#include <mutex>
#include <vector>

class RAST_IBitmap;

// Decoded editor images shared by every editor of the process, keyed by resource ID only. Entries
// stay until the module unloads. The lock is held while the list is searched or appended to,
// never while an image is decoded, so two editors may both add an ID; lookups take the first.
class ImageCache {
  public:
    static ImageCache& Instance();

    RAST_IBitmap* Find(int resourceId);
    // Takes ownership and returns the bitmap; a null bitmap is not stored.
    RAST_IBitmap* Add(int resourceId, std::unique_ptr<RAST_IBitmap> bitmap);
    int Count();

    ~ImageCache();

  private:
    struct Entry {
        int resourceId;
        std::unique_ptr<RAST_IBitmap> bitmap;
    };
    std::mutex lock;
    std::vector<Entry> entries;
};
