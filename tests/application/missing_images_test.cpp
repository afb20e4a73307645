// Module images that are missing or damaged: the editor still opens, its controls sit where the
// layout says and take their clicks, and the broken pictures draw nothing. Its own program, because
// decoded images are kept for the life of the process.
#include "app_fixture.h"

#include "graphics/bitmap_control.h"
#include "graphics/image_cache.h"
#include "platform/resources.h"
#include "plugin/editor_controls.h"
#include "raster/mem_bitmap.h"

#include <cstring>

namespace {

// The module's own resources, except a damaged background and no input-selector picture.
class BrokenImages final : public IResourceSource {
  public:
    BrokenImages() : previous(InstallResourceSource(this)) {}
    ~BrokenImages() override { InstallResourceSource(previous); }
    ResourceBytes Find(const char* type, int id) override {
        if (std::strcmp(type, "PNG") == 0 && id == 101) return {damaged, sizeof damaged};
        if (std::strcmp(type, "PNG") == 0 && id == 103) return {};
        return ModuleResources().Find(type, id);
    }

  private:
    IResourceSource* previous;
    const unsigned char damaged[24] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13,
                                       'I',  'H', 'D', 'R', 0xff, 0xff, 0xff, 0xff, 0, 0, 0, 1};
};

class MissingImages : public EditorApp {
  protected:
    void SetUp() override {
        // The pictures must not have been decoded by anything before in this process.
        ASSERT_EQ(ImageCache::Instance().Find(101), nullptr);
        ASSERT_EQ(ImageCache::Instance().Find(103), nullptr);
        EditorApp::SetUp();
    }
    BrokenImages broken; // installed before the plug-in is built
};

} // namespace

TEST_F(MissingImages, EditorOpensAndWorksWithoutThem) {
    ASSERT_EQ(editor->NControls(), 17);
    EXPECT_EQ(editor->GetControl(0)->DrawRect(), IPixelRect(0, 0, 730, 330));
    EXPECT_EQ(Controls().inputsSelector->DrawRect(), editor_rect::kInputs);
    ClickCentre(editor_rect::kInputs);
    EXPECT_EQ(Engine().Snapshot().inputSelection, 1.0);
    editor->TickUntilClean();
    // Nothing drew the face: the panel shows the empty surface, while the fader's handle, whose
    // picture is fine, is there.
    const RAST_MemBitmap* screen = editor->Presented();
    EXPECT_EQ(screen->Row(10)[700] & 0xffffffu, 0u);
    EXPECT_EQ(screen->Row(110)[640] & 0xffffffu, 0u);
    EXPECT_NE(screen->Row(197)[663] & 0xffffffu, 0u);
    EXPECT_TRUE(messages.entries.empty());
}
