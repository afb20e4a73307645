// The value-entry field, popup menus and the modal dialogs of the editor window, driven with the
// messages a person's typing and clicking produce.
#include "sample_win_editor.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <dlgs.h>

#include <filesystem>

namespace {

using L = SampleLayout;

struct EntryRig : SampleWinEditor {
    HostWindow host;
    HWND window = static_cast<HWND>(editor.AttachToParent(host.Handle()));

    EntryRig() {
        plug.GetParam(3)->max = 100.0;
        Pump(100);
    }
};

std::string WindowText(HWND w) {
    char text[64] = {};
    GetWindowTextA(w, text, int(sizeof text));
    return text;
}

} // namespace

TEST(WinValueEntry, TypingFinishesByItsKeyOrByAClick) {
    enum Finish { kReturn, kEscape, kClickInEditor };
    const struct {
        const char* name;
        IPixelRect at;
        int param;
        const char* typed;
        Finish finish;
        double expectPlain;
    } cases[] = {
        {"continuous, Return",
         {L::kFaderX, L::kFaderY, L::kFaderX + 110, L::kFaderY + 10},
         1,
         "0.25",
         kReturn,
         0.25},
        {"letters are refused",
         {L::kFaderX, L::kFaderY, L::kFaderX + 110, L::kFaderY + 10},
         1,
         "x0.7k",
         kReturn,
         0.7},
        {"Escape cancels",
         {L::kFaderX, L::kFaderY, L::kFaderX + 110, L::kFaderY + 10},
         1,
         "0.9",
         kEscape,
         0.5},
        {"a click while typing cancels",
         {L::kFaderX, L::kFaderY, L::kFaderX + 110, L::kFaderY + 10},
         1,
         "0.3",
         kClickInEditor,
         0.5},
        {"stepped: no decimal point", L::kStepped, 3, "2.5", kReturn, 25.0},
        {"stepped: signs and digits only", L::kStepped, 3, "+1e2", kReturn, 12.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EntryRig rig;
        ASSERT_NE(rig.window, nullptr);
        const double before = rig.plug.GetParam(c.param)->value;
        Click(rig.window, c.at.left + 5, c.at.top + 5, true);
        ASSERT_TRUE(PumpUntil([&] { return rig.editor.EntryWindow() != nullptr; }, 10000));
        HWND field = rig.editor.EntryWindow();
        char cls[16] = {};
        GetClassNameA(field, cls, int(sizeof cls));
        EXPECT_STRCASEEQ(cls, "Edit");
        EXPECT_EQ(GetDlgCtrlID(field), 99);
        EXPECT_EQ(GetWindowLongPtrA(field, GWLP_USERDATA), IGraphicsWin::kEntryMarker);
        EXPECT_EQ(GetFocus(), field);
        EXPECT_EQ(rig.editor.EntryStateNow(), IGraphicsWin::kEntryEditing);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(field, WM_GETFONT, 0, 0));
        EXPECT_EQ(GetObjectType(font), DWORD(OBJ_FONT));
        if (c.param == 1) {
            EXPECT_EQ(WindowText(field), "0.50");
        }

        // The whole initial text is selected, so typing replaces it.
        for (const char* p = c.typed; *p; ++p)
            PostMessageA(field, WM_CHAR, WPARAM(*p), 0);
        switch (c.finish) {
        case kReturn:
            PostMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageA(field, WM_CHAR, '\r', 0);
            break;
        case kEscape:
            PostMessageA(field, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        case kClickInEditor:
            PostMessageA(rig.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
            break;
        }
        ASSERT_TRUE(PumpUntil([&] { return rig.editor.EntryWindow() == nullptr; }, 10000));
        EXPECT_FALSE(IsWindow(field));
        EXPECT_EQ(GetObjectType(font), 0u); // the field's font went with it
        EXPECT_EQ(rig.editor.EntryStateNow(), IGraphicsWin::kEntryNone);
        EXPECT_NEAR(rig.plug.GetParam(c.param)->value, c.expectPlain, 1e-9) << "before " << before;
        // The keys belong to the editor again.
        EXPECT_EQ(GetFocus(), rig.window);
    }
}

TEST(WinValueEntry, FreeTextReachesTheControlWithoutTheReturnKey) {
    EntryRig rig;
    ITextStyle style;
    style.alignment = ITextStyle::kNear;
    rig.editor.ShowTextEntry(rig.probe, style, L::kProbe, "abc", nullptr);
    HWND field = rig.editor.EntryWindow();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(field, GWL_STYLE) & (ES_MULTILINE | ES_AUTOHSCROLL | ES_CENTER | ES_RIGHT),
              ES_MULTILINE | ES_AUTOHSCROLL);
    RECT r{};
    GetWindowRect(field, &r);
    EXPECT_EQ(r.right - r.left, L::kProbe.right - L::kProbe.left + 1);
    // A second entry while one is open is not made.
    rig.editor.ShowTextEntry(rig.probe, style, L::kText, "other", nullptr);
    EXPECT_EQ(rig.editor.EntryWindow(), field);
    for (char ch : std::string("Mic 2"))
        PostMessageA(field, WM_CHAR, WPARAM(ch), 0);
    // What a keyboard delivers for Return: the key, then its character.
    PostMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(field, WM_CHAR, '\r', 0);
    ASSERT_TRUE(PumpUntil([&] { return rig.editor.EntryWindow() == nullptr; }, 10000));
    ASSERT_FALSE(rig.probe->calls.empty());
    EXPECT_EQ(rig.probe->calls.back(), "text Mic 2");
}

TEST(WinValueEntry, ClosingTheEditorWithAnOpenFieldLeavesNothingBehind) {
    EntryRig rig;
    Click(rig.window, L::kFaderX + 5, L::kFaderY + 5, true);
    ASSERT_TRUE(PumpUntil([&] { return rig.editor.EntryWindow() != nullptr; }, 10000));
    HWND field = rig.editor.EntryWindow();
    rig.editor.DetachWindow();
    EXPECT_FALSE(IsWindow(field));
    EXPECT_EQ(rig.editor.EntryWindow(), nullptr);
    // A second entry can open once the window is back.
    ASSERT_NE(rig.editor.AttachToParent(rig.host.Handle()), nullptr);
    Pump(50);
    Click(rig.editor.EditorWindow(), L::kFaderX + 5, L::kFaderY + 5, true);
    EXPECT_TRUE(PumpUntil([&] { return rig.editor.EntryWindow() != nullptr; }, 10000));
}

TEST(WinPopupMenu, NativeMenuFollowsTheNumberingAndTheChoiceMapsBack) {
    EntryRig rig;
    IMenuList menu;
    menu.AddEntry("first", IMenuEntry::kTicked);
    auto sub = std::make_unique<IMenuList>();
    sub->AddEntry("s1");
    sub->AddEntry("s2", IMenuEntry::kGreyed);
    sub->AddEntry("s3");
    menu.AddEntry("more", 0, std::move(sub));
    menu.AddEntry("", IMenuEntry::kSeparator);
    menu.AddEntry("last");
    menu.numberingPrefix = IMenuList::kTwoDigits;

    struct Seen {
        HMENU top = nullptr, sub = nullptr;
        int count = -1, subCount = -1;
        std::vector<UINT> ids, subIds;
        std::string firstText;
        bool firstTicked = false, s2Greyed = false;
    } seen;
    IMenuList* chosen = nullptr;
    {
        ModalAnswer answer("#32768", [&](HWND popup) {
            HMENU h = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
            seen.top = h;
            seen.count = GetMenuItemCount(h);
            for (int i = 0; i < seen.count; ++i)
                seen.ids.push_back(GetMenuItemID(h, i));
            char text[32] = {};
            GetMenuStringA(h, 0, text, int(sizeof text), MF_BYPOSITION);
            seen.firstText = text;
            seen.firstTicked = (GetMenuState(h, 0, MF_BYPOSITION) & MF_CHECKED) != 0;
            HMENU s = GetSubMenu(h, 1);
            seen.sub = s;
            seen.subCount = GetMenuItemCount(s);
            for (int i = 0; i < seen.subCount; ++i)
                seen.subIds.push_back(GetMenuItemID(s, i));
            seen.s2Greyed = (GetMenuState(s, 1, MF_BYPOSITION) & MF_GRAYED) != 0;
            // Down to "more", into its submenu, down to the third entry, choose it.
            for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN})
                PostMessageA(rig.window, WM_KEYDOWN, key, 0);
        });
        chosen = rig.editor.ShowPopupMenu(menu, {10, 10, 50, 20});
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(seen.count, 4);
    EXPECT_EQ(seen.ids, (std::vector<UINT>{0, UINT(-1), 0, 3}));
    EXPECT_EQ(seen.firstText, "01: first");
    EXPECT_TRUE(seen.firstTicked);
    EXPECT_EQ(seen.subIds, (std::vector<UINT>{4, 5, 6}));
    EXPECT_TRUE(seen.s2Greyed);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen, menu.Entry(1)->submenu.get());
    EXPECT_EQ(chosen->chosenIndex, 2);
    EXPECT_TRUE(seen.top && seen.sub);
    EXPECT_FALSE(IsMenu(seen.top));
    EXPECT_FALSE(IsMenu(seen.sub));

    // Dismissed without a choice.
    IMenuList plain;
    plain.AddEntry("a");
    {
        ModalAnswer answer("#32768", [](HWND) { EndMenu(); });
        EXPECT_EQ(rig.editor.ShowPopupMenu(plain, {10, 10, 50, 20}), nullptr);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(plain.chosenIndex, -1);
}

TEST(WinDialogs, MessageBoxBelongsToTheHostsMainWindow) {
    EntryRig rig;
    HWND owner = nullptr;
    std::string caption;
    {
        ModalAnswer answer("#32770", [&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            caption = WindowText(box);
            PostMessageA(box, WM_COMMAND, IDNO, 0);
        });
        EXPECT_EQ(rig.editor.MessageDialog("Replace the curve?", "Info", MB_YESNO), IDNO);
    }
    EXPECT_EQ(owner, rig.host.Root());
    EXPECT_EQ(caption, "Info");
    EXPECT_EQ(rig.editor.MainWindow(), rig.host.Root());

    // Closed, the editor finds the main window again by its class.
    rig.editor.DetachWindow();
    owner = nullptr;
    {
        ModalAnswer answer("#32770", [&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(rig.editor.MessageDialog("Saved.", "Info", MB_OK), IDOK);
    }
    EXPECT_EQ(owner, rig.host.Root());
}

TEST(WinDialogs, LaunchUrlAsksFirstAndStopsOnNo) {
    EntryRig rig;
    std::string text;
    {
        ModalAnswer answer("#32770", [&](HWND box) {
            char buf[128] = {};
            // The message text is the box's static control.
            GetDlgItemTextA(box, 0xffff, buf, int(sizeof buf));
            text = buf;
            PostMessageA(box, WM_COMMAND, IDNO, 0);
        });
        EXPECT_FALSE(
            rig.editor.LaunchUrl("https://example.invalid/", "Help", "Open the web page?", "No connection"));
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(text, "Open the web page?");
}

TEST(WinDialogs, SaveDialogCancelledOrAnswered) {
    EntryRig rig;
    std::string file = "old.alg";
    std::string folder;
    HWND owner = nullptr;
    {
        ModalAnswer answer("#32770", [&](HWND dialog) {
            owner = GetWindow(dialog, GW_OWNER);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        rig.editor.ChooseFile(file, 1, folder, "alg");
        EXPECT_TRUE(answer.Answered());
    }
    // Owned by the editor window, which makes its top-level window the dialog's owner.
    EXPECT_EQ(owner, rig.host.Root());
    EXPECT_EQ(file, "");

    // Typed into the dialog's name field and confirmed.
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "win_save_dialog";
    std::filesystem::create_directories(dir);
    char full[MAX_PATH] = {};
    GetFullPathNameA(dir.string().c_str(), MAX_PATH, full, nullptr);
    std::string wanted = std::string(full) + "\\curve.alg";
    folder = full;
    {
        ModalAnswer answer("#32770", [&](HWND dialog) {
            // The name field: a combo box (cmb13) in the newer dialog, an edit (edt1) in the older.
            if (!SetDlgItemTextA(dialog, cmb13, "curve")) SetDlgItemTextA(dialog, edt1, "curve");
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        rig.editor.ChooseFile(file, 1, folder, "alg");
    }
    EXPECT_STRCASEEQ(file.c_str(), wanted.c_str());
    EXPECT_STRCASEEQ(folder.c_str(), (std::string(full) + "\\").c_str());

    // Without a window there is no dialog.
    rig.editor.DetachWindow();
    file = "x";
    rig.editor.ChooseFile(file, 0, folder, "alg");
    EXPECT_EQ(file, "");
}

TEST(WinDialogs, ColourDialogTitledByThePromptKeepsAlpha) {
    EntryRig rig;
    IArgbColor colour(128, 10, 200, 30);
    std::string title;
    {
        ModalAnswer answer("#32770", [&](HWND dialog) {
            title = WindowText(dialog);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_FALSE(rig.editor.ChooseColour(colour, "Curve colour"));
    }
    EXPECT_EQ(title, "Curve colour");
    {
        ModalAnswer answer("#32770", [&](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
        EXPECT_TRUE(rig.editor.ChooseColour(colour, nullptr));
    }
    // Confirmed as it opened: the initial colour comes back, alpha untouched.
    EXPECT_EQ(colour.a, 128);
    EXPECT_EQ(colour.r, 10);
    EXPECT_EQ(colour.g, 200);
    EXPECT_EQ(colour.b, 30);
}

TEST(WinDialogs, MainWindowFoundAgainByItsClassAfterTheHostReplacedIt) {
    // A host whose main window is replaced while the editor is closed (a second top-level window
    // of the same class), e.g. after re-opening its project window.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TvReplacedMainWindow";
    RegisterClassA(&wc);
    auto makeMain = [] {
        HWND w = CreateWindowExA(0, "TvReplacedMainWindow", "main", WS_POPUP, 0, 0, 400, 300, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(w, SW_SHOWNOACTIVATE);
        return w;
    };
    HWND first = makeMain();
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, first, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SampleWinEditor sample;
    IGraphicsWin& editor = sample.editor;
    ASSERT_NE(editor.AttachToParent(frame), nullptr);
    auto answerOk = [](HWND* owner) {
        return [owner](HWND box) {
            *owner = GetWindow(box, GW_OWNER);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        };
    };
    HWND owner = nullptr;
    {
        ModalAnswer answer("#32770", answerOk(&owner));
        editor.MessageDialog("one", "Info", MB_OK);
    }
    EXPECT_EQ(owner, first);
    editor.DetachWindow();
    DestroyWindow(first);
    HWND second = makeMain();
    owner = nullptr;
    {
        ModalAnswer answer("#32770", answerOk(&owner));
        editor.MessageDialog("two", "Info", MB_OK);
    }
    EXPECT_EQ(owner, second);
    DestroyWindow(second);
}
