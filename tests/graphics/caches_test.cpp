#include "editor_fixture.h"
#include "graphics/bitmap_control.h"
#include "graphics/image_cache.h"
#include "graphics/text_control.h"
#include "platform/resources.h"

#include <gtest/gtest.h>
#include <png.h>

#include <map>
#include <utility>
#include <vector>

// The image cache is shared by the whole process, so every test here uses resource IDs of its own.

namespace {

// PNG bytes of a w x h image whose pixels are all `argb`.
std::vector<unsigned char> EncodePng(int w, int h, uint32_t argb) {
    std::vector<unsigned char> rgba;
    for (int i = 0; i < w * h; ++i)
        for (int shift : {16, 8, 0, 24})
            rgba.push_back((unsigned char)(argb >> shift));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
    std::vector<unsigned char> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr)) return {};
    out.resize(size);
    return out;
}

class TestResources : public IResourceSource {
  public:
    TestResources() : previous(InstallResourceSource(this)) {}
    ~TestResources() override { InstallResourceSource(previous); }
    ResourceBytes Find(const char* type, int id) override {
        auto it = blobs.find({type, id});
        if (it == blobs.end()) return {};
        return {it->second.data(), it->second.size()};
    }
    std::map<std::pair<std::string, int>, std::vector<unsigned char>> blobs;

  private:
    IResourceSource* previous;
};

} // namespace

TEST(ImageCache, SameIdGivesTheSameBitmapWhateverTheName) {
    EditorRig rig;
    rig.editor.images[9101] = [] { return MakeBitmap(4, 6, [](int, int) { return 0xff00ff00u; }); };
    IImageStrip a = rig.editor.LoadImageStrip(9101, "a.png", 2);
    IImageStrip b = rig.editor.LoadImageStrip(9101, "other.png", 3);
    ASSERT_NE(a.bitmap, nullptr);
    EXPECT_EQ(a.bitmap, b.bitmap);
    EXPECT_EQ(rig.editor.imageLoads, 1);
    EXPECT_EQ(b.width, 4);
    EXPECT_EQ(b.height, 6);
    EXPECT_EQ(b.frames, 3);
    EXPECT_FALSE(b.framesHorizontal);

    // Another editor of the process finds it too.
    RecordingPlug plug2;
    TestEditor second(&plug2, 10, 10, 25);
    EXPECT_EQ(second.LoadImageStrip(9101, "", 1).bitmap, a.bitmap);
    EXPECT_EQ(second.imageLoads, 0);
}

TEST(ImageCache, AnImageThatFailsToLoadGivesAnEmptyStripThatDrawsNothing) {
    EditorRig rig(16, 16);
    rig.Add(new ProbeControl(&rig.plug, {0, 0, 16, 16}, -1, 0xff445566u));
    IImageStrip missing = rig.editor.LoadImageStrip(9102, "missing.png", 0);
    EXPECT_EQ(missing.bitmap, nullptr);
    EXPECT_EQ(missing.width, 0);
    EXPECT_EQ(missing.height, 0);
    EXPECT_EQ(missing.frames, 1);
    auto* pic = rig.Add(new IBitmapControl(&rig.plug, 5, 5, -1, missing));
    EXPECT_EQ(pic->DrawRect(), IPixelRect(5, 5, 5, 5));
    EXPECT_EQ(rig.editor.FindControlAt(5, 5), 0);
    pic->SetValue(1.0);
    rig.editor.Tick();
    EXPECT_EQ(PixelAt(rig.editor.DrawSurface(), 5, 5), 0xff445566u);
    // A failure is not remembered: a later attempt asks the platform again.
    rig.editor.LoadImageStrip(9102, "missing.png", 1);
    EXPECT_EQ(rig.editor.imageLoads, 2);
}

TEST(ImageCache, PlatformImagesComeFromPngResources) {
    TestResources resources;
    resources.blobs[{"PNG", 9103}] = EncodePng(3, 2, 0x80102030u);
    resources.blobs[{"PNG", 9104}] = resources.blobs[{"PNG", 9103}];
    resources.blobs[{"PNG", 9105}] = {0x89, 'P', 'N', 'G', 13, 10, 26};
    resources.blobs[{"PNG", 9106}] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0};
    resources.blobs[{"BIN", 9107}] = resources.blobs[{"PNG", 9103}];
    RecordingPlug plug;
    IGraphicsHeadless editor(&plug, 8, 8, 25);

    std::unique_ptr<RAST_IBitmap> ok(editor.LoadPlatformImage(9103, "resources/img/pic.PnG"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->Width(), 3);
    EXPECT_EQ(ok->Height(), 2);
    EXPECT_EQ(PixelAt(ok.get(), 2, 1), 0x80102030u);

    struct Case {
        int id;
        const char* name;
    } refused[] = {{9104, "pic.bmp"},   {9104, "png"},        {9104, nullptr},   {9104, "pic.pngx"},
                   {9105, "short.png"}, {9106, "broken.png"}, {9107, "bin.png"}, {9199, "absent.png"}};
    for (const Case& c : refused) {
        std::unique_ptr<RAST_IBitmap> none(editor.LoadPlatformImage(c.id, c.name));
        EXPECT_EQ(none, nullptr) << c.id << " " << (c.name ? c.name : "(null)");
    }
    IImageStrip strip = editor.LoadImageStrip(9103, "pic.png", 1);
    ASSERT_NE(strip.bitmap, nullptr);
    EXPECT_EQ(strip.width, 3);
}

TEST(FontCache, EqualStylesShareOneFont) {
    EditorRig rig;
    ITextStyle a("Verdana", 23, IArgbColor(255, 1, 2, 3));
    ITextStyle b("Verdana", 23, IArgbColor(128, 200, 0, 0), ITextStyle::kNormal, ITextStyle::kFar);
    RAST_CachedFont* fa = rig.editor.FontFor(a);
    ASSERT_NE(fa, nullptr);
    EXPECT_EQ(a.cachedFont, fa);
    EXPECT_EQ(rig.editor.FontFor(b), fa); // colour and alignment play no part
    EXPECT_EQ(b.cachedFont, fa);

    ITextStyle bigger("Verdana", 24, {}), bold("Verdana", 23, {}, ITextStyle::kBold), other("Sans", 23, {});
    ITextStyle turned("Verdana", 23, {}, ITextStyle::kNormal, ITextStyle::kCentre, 90);
    for (ITextStyle* s : {&bigger, &bold, &other, &turned}) {
        RAST_CachedFont* f = rig.editor.FontFor(*s);
        ASSERT_NE(f, nullptr);
        EXPECT_NE(f, fa);
    }
    // Another editor of the process reuses them.
    RecordingPlug plug2;
    TestEditor second(&plug2, 10, 10, 25);
    ITextStyle again("Verdana", 24, {});
    EXPECT_EQ(second.FontFor(again), bigger.cachedFont);
}

TEST(StyledText, MeasuringPlacesTheRectangleByAlignment) {
    EditorRig rig;
    ITextStyle style("Verdana", 14, {});
    IPixelRect probe(0, 0, 0, 0);
    style.alignment = ITextStyle::kNear;
    ASSERT_TRUE(rig.editor.MeasureStyledText(style, "Resolution", probe));
    const int w = probe.W(), h = probe.H();
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);

    struct Case {
        int align;
        IPixelRect in, out;
    } cases[] = {
        {ITextStyle::kNear, {10, 5, 50, 9}, {10, 5, 10 + w, 5 + h}},
        {ITextStyle::kCentre, {10, 5, 50, 9}, {30 - w / 2, 5, 30 - w / 2 + w, 5 + h}},
        {ITextStyle::kCentre, {11, 5, 50, 9}, {30 - w / 2, 5, 30 - w / 2 + w, 5 + h}}, // 30.5 truncates
        {ITextStyle::kFar, {10, 5, 50, 9}, {50 - w, 5, 50, 5 + h}},
        {7, {10, 5, 50, 9}, {50 - w, 5, 50, 5 + h}}, // any other alignment counts as far
    };
    for (const Case& c : cases) {
        style.alignment = c.align;
        IPixelRect r = c.in;
        ASSERT_TRUE(rig.editor.MeasureStyledText(style, "Resolution", r));
        EXPECT_EQ(r, c.out) << c.align;
    }
    // Empty text is done at once and touches nothing.
    IPixelRect untouched(1, 2, 3, 4);
    EXPECT_TRUE(rig.editor.MeasureStyledText(style, "", untouched));
    EXPECT_TRUE(rig.editor.MeasureStyledText(style, nullptr, untouched));
    EXPECT_EQ(untouched, IPixelRect(1, 2, 3, 4));
}

TEST(StyledText, TextIsDrawnInItsColourInsideTheRectangle) {
    EditorRig rig(80, 20);
    rig.Add(new ProbeControl(&rig.plug, {0, 0, 80, 20}, -1, 0xff000000u));
    ITextStyle style("Verdana", 16, IArgbColor(255, 255, 255, 255), ITextStyle::kBold, ITextStyle::kNear);
    rig.Add(new ITextControl(&rig.plug, {2, 2, 78, 18}, style, "HHHH"));
    auto* empty = rig.Add(new ITextControl(&rig.plug, {0, 0, 80, 20}, style, ""));
    rig.editor.Tick();
    int lit = 0, outside = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x) {
            RAST_Pixel p = PixelAt(rig.editor.DrawSurface(), x, y);
            bool on = (p & 0xffffff) != 0;
            lit += on;
            outside += on && (x < 2 || y < 2);
            if (on) {
                EXPECT_EQ((p >> 16) & 0xff, p & 0xff) << x << "," << y; // white text stays grey-scale
            }
        }
    EXPECT_GT(lit, 40);
    EXPECT_EQ(outside, 0);
    EXPECT_TRUE(empty->Paint(&rig.editor));
}
