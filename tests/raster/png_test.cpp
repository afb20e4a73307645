#include "platform/resources.h"
#include "png_writer.h"
#include "raster/png_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

using Bitmap = std::unique_ptr<RAST_MemBitmap>;

// An image of the given kind with samples spread over the whole range of its depth.
PngImage MakeImage(int colourType, int depth, bool transparency, bool interlaced, unsigned seed) {
    PngImage img;
    img.width = 7; // odd, so sub-byte rows end mid-byte
    img.height = 5;
    img.colourType = colourType;
    img.depth = depth;
    img.interlaced = interlaced;
    std::mt19937 rng(seed);
    const int entries = colourType == 3 ? std::min(6, 1 << depth) : 0; // palette of up to six entries
    const int maxSample = colourType == 3 ? entries - 1 : (1 << depth) - 1;
    std::uniform_int_distribution<int> sample(0, maxSample);
    img.samples.resize(static_cast<size_t>(img.width) * img.height * img.Channels());
    for (auto& s : img.samples)
        s = static_cast<uint16_t>(sample(rng));
    if (colourType == 3) {
        img.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 200, 150, 100, 1, 2, 3};
        img.palette.resize(3 * entries);
        if (transparency) img.paletteAlpha = {0, 128, 255, 77}; // later entries stay opaque
        if (static_cast<int>(img.paletteAlpha.size()) > entries) img.paletteAlpha.resize(entries - 1);
    } else if (transparency) {
        img.hasTransparentColour = true; // the colour of the first pixel
        for (int c = 0; c < img.Channels(); ++c)
            img.transparent[c] = img.samples[c];
    }
    return img;
}

int To8(int v, int depth) {
    return depth == 16 ? v >> 8 : depth == 8 ? v : v * 255 / ((1 << depth) - 1);
}

// What the loader must deliver for pixel i, derived from the raw samples.
RAST_Pixel Expected(const PngImage& img, int i) {
    const int n = img.Channels();
    const uint16_t* s = &img.samples[static_cast<size_t>(i) * n];
    int r, g, b, a = 255;
    switch (img.colourType) {
    case 3:
        r = img.palette[3 * s[0]], g = img.palette[3 * s[0] + 1], b = img.palette[3 * s[0] + 2];
        if (s[0] < img.paletteAlpha.size()) a = img.paletteAlpha[s[0]];
        break;
    case 0:
    case 4:
        r = g = b = To8(s[0], img.depth);
        if (img.colourType == 4) a = To8(s[1], img.depth);
        if (img.hasTransparentColour && s[0] == img.transparent[0]) a = 0;
        break;
    default:
        r = To8(s[0], img.depth), g = To8(s[1], img.depth), b = To8(s[2], img.depth);
        if (img.colourType == 6) a = To8(s[3], img.depth);
        if (img.hasTransparentColour && s[0] == img.transparent[0] && s[1] == img.transparent[1] &&
            s[2] == img.transparent[2])
            a = 0;
    }
    return static_cast<RAST_Pixel>(b | g << 8 | r << 16 | a << 24);
}

void ExpectPixels(const RAST_MemBitmap* bmp, const PngImage& img, const std::string& what) {
    ASSERT_NE(bmp, nullptr) << what;
    ASSERT_EQ(bmp->Width(), img.width) << what;
    ASSERT_EQ(bmp->Height(), img.height) << what;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            ASSERT_EQ(bmp->Row(y)[x], Expected(img, y * img.width + x)) << what << " at " << x << "," << y;
}

struct Kind {
    int colourType, depth;
    bool transparencyAllowed;
};
const Kind kKinds[] = {{0, 1, true}, {0, 2, true},  {0, 4, true},   {0, 8, true},  {0, 16, true},
                       {2, 8, true}, {2, 16, true}, {3, 1, true},   {3, 2, true},  {3, 4, true},
                       {3, 8, true}, {4, 8, false}, {4, 16, false}, {6, 8, false}, {6, 16, false}};

std::vector<unsigned char> SmallPng() {
    return EncodePng(MakeImage(6, 8, false, false, 1));
}

} // namespace

TEST(PngLoader, EveryColourTypeAndDepthDecodesToNativePixels) {
    unsigned seed = 1;
    for (const Kind& k : kKinds)
        for (bool transparency : {false, true})
            for (bool interlaced : {false, true}) {
                if (transparency && !k.transparencyAllowed) continue;
                const PngImage img = MakeImage(k.colourType, k.depth, transparency, interlaced, ++seed);
                const auto bytes = EncodePng(img);
                Bitmap bmp(LoadPngFromMemory(bytes.data(), bytes.size()));
                ExpectPixels(bmp.get(), img,
                             "type " + std::to_string(k.colourType) + " depth " + std::to_string(k.depth) +
                                 (transparency ? " tRNS" : "") + (interlaced ? " interlaced" : ""));
            }
}

TEST(PngLoader, RefusesShortOrUnsignedData) {
    const auto png = SmallPng();
    EXPECT_EQ(LoadPngFromMemory(nullptr, 100), nullptr);
    EXPECT_EQ(LoadPngFromMemory(png.data(), 7), nullptr);
    EXPECT_EQ(LoadPngFromMemory(png.data(), 8), nullptr); // signature alone: no header follows
    auto unsigned_ = png;
    unsigned_[1] = 'p';
    EXPECT_EQ(LoadPngFromMemory(unsigned_.data(), unsigned_.size()), nullptr);
}

TEST(PngLoader, HostileHeadersAreRefusedWithoutAllocatingThePixels) {
    // Rewrites IHDR's width, height, depth and colour type (and its CRC).
    auto withHeader = [](uint32_t w, uint32_t h, uint8_t depth, uint8_t type) {
        auto png = SmallPng();
        const uint8_t fields[] = {
            uint8_t(w >> 24), uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w), uint8_t(h >> 24),
            uint8_t(h >> 16), uint8_t(h >> 8),  uint8_t(h),      depth,      type};
        std::copy(std::begin(fields), std::end(fields), png.begin() + 16);
        FixChunkCrcs(png);
        return png;
    };
    struct {
        const char* what;
        std::vector<unsigned char> png;
    } cases[] = {
        {"zero width", withHeader(0, 5, 8, 6)},
        {"zero height", withHeader(7, 0, 8, 6)},
        {"width beyond the limit", withHeader(100000, 1, 8, 6)},
        {"both dimensions at the limit", withHeader(16384, 16384, 8, 6)},
        {"width beyond 2^31", withHeader(0x80000001u, 1, 8, 6)},
        {"impossible depth", withHeader(7, 5, 3, 6)},
        {"impossible colour type", withHeader(7, 5, 8, 5)},
        {"palette type without palette", withHeader(7, 5, 8, 3)},
        {"declared larger than the data", withHeader(7, 500, 8, 6)},
    };
    for (auto& c : cases)
        EXPECT_EQ(LoadPngFromMemory(c.png.data(), c.png.size()), nullptr) << c.what;

    auto badCrc = SmallPng();
    badCrc[29] ^= 1; // IHDR CRC
    EXPECT_EQ(LoadPngFromMemory(badCrc.data(), badCrc.size()), nullptr);
}

TEST(PngLoader, PaletteIndicesBeyondThePaletteDoNotReadOutside) {
    PngImage img = MakeImage(3, 8, false, false, 3);
    img.samples[4] = 200; // the palette has six entries
    const auto png = EncodePng(img);
    Bitmap bmp(LoadPngFromMemory(png.data(), png.size()));
    if (bmp) { // libpng may reject it or paint the missing entry; either way nothing outside is read
        EXPECT_EQ(bmp->Width(), 7);
    }
}

TEST(PngLoader, EveryTruncationFailsCleanly) {
    const auto png = EncodePng(MakeImage(2, 8, true, true, 4));
    for (size_t n = 0; n < png.size(); ++n) {
        Bitmap bmp(LoadPngFromMemory(png.data(), n));
        // The end chunk carries no pixels: an image truncated inside it may still be complete.
        if (bmp && n < png.size() - 12)
            ADD_FAILURE() << "decoded from " << n << " of " << png.size() << " bytes";
    }
}

TEST(PngLoader, MutatedDataNeverCrashes) {
    std::vector<std::vector<unsigned char>> seeds = {
        EncodePng(MakeImage(6, 8, false, false, 5)), EncodePng(MakeImage(3, 2, true, true, 6)),
        EncodePng(MakeImage(0, 16, true, false, 7)), EncodePng(MakeImage(4, 8, false, true, 8))};
    std::mt19937 rng(1234);
    int decoded = 0;
    for (int i = 0; i < 3000; ++i) {
        auto png = seeds[i % seeds.size()];
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = 8 + rng() % (png.size() - 8);
            switch (rng() % 4) {
            case 0:
                png[at] ^= static_cast<unsigned char>(1u << (rng() % 8));
                break;
            case 1:
                png[at] = static_cast<unsigned char>(rng());
                break;
            case 2:
                png.erase(png.begin() + static_cast<long>(at));
                break;
            default:
                png.insert(png.begin() + static_cast<long>(at), static_cast<unsigned char>(rng()));
                break;
            }
        }
        if (i % 2 == 0) FixChunkCrcs(png); // get past the checksums into the decoder proper
        Bitmap bmp(LoadPngFromMemory(png.data(), png.size()));
        if (bmp) {
            ++decoded;
            EXPECT_GT(bmp->Width(), 0);
            EXPECT_LE(static_cast<long long>(bmp->Width()) * bmp->Height(), kMaxPngPixels);
        }
    }
    EXPECT_GT(decoded, 0); // some mutations leave a valid image
}

TEST(PngLoader, LoadsFilesByUtf8NameIntoAGivenOrNewBitmap) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "tv_raster_png_test";
    fs::create_directories(dir);
    const std::u8string name = u8"b\u00e4r-\u6f22.PNG";
    const fs::path file = dir / fs::path(name);
    const PngImage img = MakeImage(2, 8, false, false, 9);
    const auto bytes = EncodePng(img);
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    const std::string utf8Path(reinterpret_cast<const char*>(file.u8string().c_str()));

    Bitmap fresh(LoadPngFromFile(utf8Path.c_str()));
    ExpectPixels(fresh.get(), img, "new bitmap");

    RAST_MemBitmap given(100, 100);
    EXPECT_EQ(LoadPngFromFile(utf8Path.c_str(), &given), &given);
    ExpectPixels(&given, img, "given bitmap");

    Bitmap byName(LoadImageByName(utf8Path.c_str(), true));
    ExpectPixels(byName.get(), img, "by name");

    EXPECT_EQ(LoadPngFromFile((utf8Path + ".missing").c_str()), nullptr);
    EXPECT_EQ(LoadPngFromFile(nullptr), nullptr);

    // A corrupt file fails; the caller's bitmap stays usable.
    const fs::path corrupt = dir / "corrupt.png";
    {
        std::ofstream out(corrupt, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size() / 2));
    }
    EXPECT_EQ(LoadPngFromFile(corrupt.string().c_str(), &given), nullptr);
    given.ResizeTo(3, 3);
    given.Row(2)[2] = 1;
    fs::remove_all(dir);
}

TEST(PngLoader, ExtensionCheck) {
    struct {
        const char* path;
        bool accepted;
    } cases[] = {
        {"a/b/IMAGE.PNG", true},
        {"c:\\x\\knob.Png", true},
        {"knob.png", true},
        {".png", true},
        {"knob.png.bak", false},
        {"knob", false},
        {"dir.png/knob", false},
        {"dir.png\\knob", false},
        {"knob.pngx", false},
        {"knob.pn", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasPngExtension(c.path), c.accepted) << c.path;
    EXPECT_FALSE(HasPngExtension(nullptr));
    // Refused names never reach the file system; unchecked ones do.
    EXPECT_EQ(LoadImageByName("missing.txt", true), nullptr);
    EXPECT_EQ(LoadImageByName("missing.txt", false), nullptr);
    EXPECT_STREQ(kPngFileDescription, "PNG files (*.PNG)");
    EXPECT_STREQ(kPngFilePattern, "*.PNG");
}

TEST(PngLoader, ModuleResourcesComeFromTheInstalledSource) {
    struct Source : IResourceSource {
        std::vector<unsigned char> png = SmallPng();
        ResourceBytes Find(const char* type, int id) override {
            if (std::string(type) != "PNG") return {};
            if (id == 101) return {png.data(), png.size()};
            if (id == 102) return {png.data(), 7};
            return {};
        }
    } source;
    IResourceSource* previous = InstallResourceSource(&source);
    Bitmap ok(LoadPngResource(101));
    EXPECT_NE(ok, nullptr);
    EXPECT_EQ(LoadPngResource(102), nullptr);
    EXPECT_EQ(LoadPngResource(103), nullptr);
    EXPECT_EQ(FindModuleResource("BIN", 101).data, nullptr);
    InstallResourceSource(previous);
}
