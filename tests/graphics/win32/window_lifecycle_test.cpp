// Opening and closing the editor window: the class registration, window counts, system objects,
// failures and a parent that disappears first; resizing; and the system services of the back end.
#include "graphics/headless/surface_png.h"
#include "graphics/win32/graphics_win.h"
#include "platform/resources.h"
#include "sample_win_editor.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>
#include <iterator>

namespace {

const char* const kClass = IGraphicsWin::kWindowClassName;

HINSTANCE Self() {
    return GetModuleHandleA(nullptr);
}

using Editor = SampleWinEditor;

void ExpectNothingOpen() {
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
    EXPECT_EQ(CountWindowsOfClass(kClass), 0);
    EXPECT_FALSE(ClassRegistered(Self(), kClass));
}

} // namespace

TEST(WinEditorLifecycle, FiftyOpensLeaveNoWindowClassOrObjectBehind) {
    HostWindow host;
    Editor e;
    // One round first: fonts and images enter their process-wide caches once.
    ASSERT_NE(e.editor.AttachToParent(host.Handle()), nullptr);
    Pump(100);
    e.editor.DetachWindow();
    Pump(20);
    const DWORD gdi = GdiObjects(), user = UserObjects();
    for (int i = 0; i < 50; ++i) {
        ASSERT_NE(e.editor.AttachToParent(host.Handle()), nullptr);
        EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
        EXPECT_TRUE(ClassRegistered(Self(), kClass));
        Pump(i % 10 == 0 ? 60 : 5); // let some of them draw
        e.editor.DetachWindow();
        ExpectNothingOpen();
    }
    Pump(20);
    // Counted by Windows; Wine reports 0 for both, and the handle checks of the entry field and
    // the popup menu stand in for them there.
    EXPECT_LE(GdiObjects(), gdi);
    EXPECT_LE(UserObjects(), user);
}

TEST(WinEditorLifecycle, TwoEditorsShareTheClassUntilBothAreClosed) {
    HostWindow host;
    Editor a, b;
    ASSERT_NE(a.editor.AttachToParent(host.Handle()), nullptr);
    ASSERT_NE(b.editor.AttachToParent(host.Handle()), nullptr);
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 2);
    EXPECT_EQ(CountWindowsOfClass(kClass), 2);
    a.editor.DetachWindow();
    EXPECT_TRUE(ClassRegistered(Self(), kClass));
    a.editor.DetachWindow(); // twice: nothing more
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
    b.editor.DetachWindow();
    ExpectNothingOpen();
}

TEST(WinEditorLifecycle, AWindowThatCannotBeMadeLeavesNothing) {
    Editor e;
    // A child window needs a parent; a handle that is no window is refused too.
    for (HWND parent : {HWND(nullptr), reinterpret_cast<HWND>(INT_PTR(0x7ffe1234))}) {
        EXPECT_EQ(e.editor.AttachToParent(parent), nullptr);
        EXPECT_FALSE(e.editor.HasWindow());
        ExpectNothingOpen();
    }
    // Input, drawing and dialogs without a window do nothing.
    EXPECT_FALSE(e.editor.PresentArea({0, 0, 10, 10}));
    std::string file = "a.alg", folder;
    e.editor.ChooseFile(file, 1, folder, "alg");
    EXPECT_EQ(file, "");
    IArgbColor colour;
    EXPECT_FALSE(e.editor.ChooseColour(colour, "Colour"));
    IMenuList menu;
    menu.AddEntry("a");
    EXPECT_EQ(e.editor.ShowPopupMenu(menu, {0, 0, 1, 1}), nullptr);
}

TEST(WinEditorLifecycle, HostileSizesAndRatesStillOpenAndClose) {
    HostWindow host;
    const struct { int w, h, rate; } cases[] = {{200, 110, 0}, {0, 0, 25}, {-20, -5, -3}, {200, 110, 100000}};
    for (const auto& c : cases) {
        SamplePlug plug;
        IGraphicsWin editor(&plug, c.w, c.h, c.rate);
        editor.AddControl(new ProbeControl(&plug, {0, 0, 10, 10}));
        editor.PrepareSurfaces();
        EXPECT_NE(editor.AttachToParent(host.Handle()), nullptr) << c.w << " " << c.rate;
        Pump(60);
        editor.DetachWindow();
        ExpectNothingOpen();
    }
}

TEST(WinEditorLifecycle, ParentDestroyedFirst) {
    Editor e;
    {
        HostWindow host;
        ASSERT_NE(e.editor.AttachToParent(host.Handle()), nullptr);
        e.editor.EnableTooltips(true);
        Pump(50);
        host.Destroy();
    }
    EXPECT_FALSE(e.editor.HasWindow());
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
    Pump(50);                // no timer of a dead window fires into the editor
    e.editor.DetachWindow(); // the host's late removal
    ExpectNothingOpen();
    HostWindow again;
    EXPECT_NE(e.editor.AttachToParent(again.Handle()), nullptr);
    e.editor.DetachWindow();
    ExpectNothingOpen();
}

TEST(WinEditorLifecycle, CloseMessageDetachesTheWindow) {
    HostWindow host;
    Editor e;
    HWND w = static_cast<HWND>(e.editor.AttachToParent(host.Handle()));
    ASSERT_NE(w, nullptr);
    SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(e.editor.HasWindow());
    ExpectNothingOpen();
}

TEST(WinEditorLifecycle, AttachingElsewhereKeepsThePlaceInTheNewParent) {
    HostWindow first, second;
    Editor e;
    HWND w = static_cast<HWND>(e.editor.AttachToParent(first.Handle()));
    ASSERT_NE(w, nullptr);
    SetWindowPos(w, nullptr, 30, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND moved = static_cast<HWND>(e.editor.AttachToParent(second.Handle()));
    ASSERT_NE(moved, nullptr);
    EXPECT_FALSE(IsWindow(w) && GetParent(w) == first.Handle());
    EXPECT_EQ(GetParent(moved), second.Handle());
    RECT r;
    GetWindowRect(moved, &r);
    MapWindowPoints(nullptr, second.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
    e.editor.DetachWindow();
    ExpectNothingOpen();
}

TEST(WinEditorLifecycle, ResizeChangesTheWindowAndTellsThePlugin) {
    HostWindow host;
    Editor e;
    HWND w = static_cast<HWND>(e.editor.AttachToParent(host.Handle()));
    ASSERT_NE(w, nullptr);
    e.editor.Resize(200, 110); // same size: nothing
    EXPECT_TRUE(e.plug.log.empty());
    EXPECT_EQ(e.editor.NControls(), 7);
    e.editor.Resize(240, 130);
    RECT r;
    GetClientRect(w, &r);
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 130);
    EXPECT_EQ(e.plug.log, (std::vector<std::string>{"resize 240 130"}));
    EXPECT_EQ(e.editor.NControls(), 0);
    Pump(60); // an editor without controls paints nothing and does not spin
    e.editor.DetachWindow();
}

TEST(WinEditorLifecycle, TooltipWindowLivesWithTheEditorWindow) {
    HostWindow host;
    Editor e;
    e.editor.EnableTooltips(true);
    HWND w = static_cast<HWND>(e.editor.AttachToParent(host.Handle()));
    ASSERT_NE(w, nullptr);
    HWND tip = e.editor.TooltipWindow();
    ASSERT_NE(tip, nullptr);
    char name[32] = {};
    GetClassNameA(tip, name, int(sizeof name));
    EXPECT_STREQ(name, "tooltips_class32");
    // A popup's owner is always a top-level window: the one the editor lives in.
    EXPECT_EQ(GetWindow(tip, GW_OWNER), host.Root());
    EXPECT_TRUE(e.editor.TooltipsEnabled());

    // Resting over a control shows its text; leaving hides it.
    e.editor.SetHandleMouseOver(true);
    e.editor.GetControl(6)->SetTooltip("Probe tip");
    const int x = SampleLayout::kProbe.left + 4, y = SampleLayout::kProbe.top + 4;
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    EXPECT_EQ(e.editor.MouseOverIndex(), 6);
    SendMessageA(w, WM_MOUSEHOVER, 0, MAKELPARAM(x, y));
    char text[64] = {};
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = w;
    ti.uId = reinterpret_cast<UINT_PTR>(w);
    ti.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, "Probe tip");
    SendMessageA(w, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(e.editor.MouseOverIndex(), -1);
    e.editor.DetachWindow();
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(e.editor.TooltipWindow(), nullptr);
}

TEST(WinServices, FolderOfPath) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {{"C:\\Hosts\\host.exe", "C:\\Hosts\\"},
                 {"C:\\host.exe", "C:\\"},
                 {"host.exe", ""},
                 {"C:\\Hosts\\", ""},
                 {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

TEST(WinServices, FileDialogFilter) {
#define WITH_NULS(literal) std::string(literal, sizeof literal - 1)
    const struct {
        const char* extensions;
        std::string filter;
        const char* defaultExtension;
    } cases[] = {
        {"alg", WITH_NULS("*.alg\0*.alg\0\0"), "alg"},
        {"frd cal  txt", WITH_NULS("*.frd;*.cal;*.txt\0*.frd;*.cal;*.txt\0\0"), "frd"},
        {"", "", ""},
        {nullptr, "", ""},
        {"averyveryverylongextension",
         WITH_NULS("*.averyveryverylongextension\0*.averyveryverylongextension\0\0"), "averyveryverylo"},
    };
#undef WITH_NULS
    for (const auto& c : cases) {
        FileDialogFilter f = MakeFileDialogFilter(c.extensions);
        EXPECT_EQ(f.filter, c.filter) << (c.extensions ? c.extensions : "null");
        EXPECT_EQ(f.defaultExtension, c.defaultExtension);
    }
    // Long lists stop at whole patterns within the dialog's limit.
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "ext ";
    FileDialogFilter f = MakeFileDialogFilter(many.c_str());
    const std::string pattern = f.filter.substr(0, f.filter.find('\0'));
    EXPECT_LE(pattern.size(), 255u);
    EXPECT_EQ(pattern.size() % 6, 5u); // "*.ext" items joined by ';'
}

TEST(WinServices, FoldersClipboardAndCursor) {
    HostWindow host;
    Editor e;
    ASSERT_NE(e.editor.AttachToParent(host.Handle()), nullptr);
    std::string path;
    e.editor.GetHostFolder(path);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.back(), '\\');
    e.editor.GetModuleFolder(path);
    EXPECT_EQ(path.back(), '\\');
    for (bool common : {false, true}) {
        e.editor.GetAppDataFolder(path, common);
        EXPECT_FALSE(path.empty());
        EXPECT_LE(path.size(), 256u);
    }
    e.editor.GetDesktopFolder(path);
    EXPECT_FALSE(path.empty());

    const wchar_t text[] = L"-3.5 dB \u00b5";
    ASSERT_TRUE(OpenClipboard(host.Handle()));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    memcpy(GlobalLock(mem), text, sizeof text);
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
    std::string clip;
    EXPECT_TRUE(e.editor.GetClipboardText(clip));
    EXPECT_EQ(clip, "-3.5 dB \xc2\xb5");
    ASSERT_TRUE(OpenClipboard(host.Handle()));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(e.editor.GetClipboardText(clip));
    EXPECT_EQ(clip, "");

    SetCursorPos(100, 120);
    e.editor.HideCursor();
    EXPECT_TRUE(e.editor.CursorHidden());
    SetCursorPos(300, 300);
    e.editor.HideCursor(); // already hidden: keeps the first place
    e.editor.RestoreCursor();
    EXPECT_FALSE(e.editor.CursorHidden());
    POINT p{};
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 120);
    e.editor.DetachWindow();
}

TEST(WinServices, PlatformImagesComeFromPngResources) {
    // A small PNG, made with the same writer the screenshots use.
    auto bitmap = std::unique_ptr<RAST_MemBitmap>(
        MakeBitmap(3, 2, [](int x, int y) { return 0xff000000u | RAST_Pixel(x * 40 + y); }));
    const std::string file = ::testing::TempDir() + "win_resource.png";
    ASSERT_TRUE(WriteBitmapPng(bitmap.get(), file));
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    struct Source : IResourceSource {
        std::vector<unsigned char>* png;
        const unsigned char tiny[7] = {0x89, 'P', 'N', 'G', 13, 10, 26};
        ResourceBytes Find(const char* type, int id) override {
            if (std::string(type) != "PNG") return {};
            if (id == 101) return {png->data(), png->size()};
            if (id == 102) return {tiny, sizeof tiny};
            return {};
        }
    } source;
    source.png = &png;
    IResourceSource* previous = InstallResourceSource(&source);
    Editor e;
    const struct {
        int id;
        const char* name;
        bool loads;
    } cases[] = {{101, "resources/img/background.png", true},
                 {101, "BACKGROUND.PNG", true},
                 {101, "background.bmp", false},
                 {101, "nodot", false},
                 {101, nullptr, false},
                 {102, "tiny.png", false},
                 {103, "missing.png", false}};
    for (const auto& c : cases) {
        std::unique_ptr<RAST_IBitmap> loaded(e.editor.LoadPlatformImage(c.id, c.name));
        EXPECT_EQ(loaded != nullptr, c.loads) << c.id << " " << (c.name ? c.name : "null");
        if (loaded) {
            EXPECT_EQ(loaded->Width(), 3);
            EXPECT_EQ(loaded->Row(1)[2] | 0xff000000u, 0xff000051u);
        }
    }
    InstallResourceSource(previous);
}
