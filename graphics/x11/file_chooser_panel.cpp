#include "graphics/x11/file_chooser_panel.h"

#include "platform/file_system.h"
#include "platform/message_service.h"
#include "platform/posix/dialog_program.h"
#include "raster/blit.h"
#include "raster/sys_bitmap.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace {

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HasExtension(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    return dot != std::string::npos && dot > 0;
}

// The end of a long text that fits, with an ellipsis in front.
std::string Tail(const std::string& text, size_t keep) {
    if (text.size() <= keep) return text;
    size_t cut = text.size() - keep;
    while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80)
        ++cut;
    return "..." + text.substr(cut);
}

} // namespace

FileChooserPanel::FileChooserPanel(const FileDialogRequest& r, const std::string& start, FileChoiceDone d)
    : request(r), done(std::move(d)) {
    Enter(DialogStartFolder(start));
}

void FileChooserPanel::Enter(const std::string& path) {
    folder = path;
    if (folder.empty() || folder.back() != '/') folder.push_back('/');
    entries.clear();
    selected = -1;
    first = 0;
    unreadable = false;
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        unreadable = true;
        return;
    }
    std::vector<Entry> folders, files;
    const std::string pattern = request.filterPattern.empty() ? "*" : request.filterPattern;
    while (dirent* e = readdir(dir)) {
        const std::string n = e->d_name;
        if (n == "." || n == ".." || n[0] == '.') continue;
        if (IsFolder(folder + n))
            folders.push_back({n, true});
        else if (WildcardMatch(pattern, n))
            files.push_back({n, false});
    }
    closedir(dir);
    auto byName = [](const Entry& a, const Entry& b) { return a.name < b.name; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    entries = folders;
    entries.insert(entries.end(), files.begin(), files.end());
    if (!entries.empty()) selected = 0;
}

void FileChooserPanel::GoUp() {
    if (folder.size() <= 1) return;
    const std::string trimmed = folder.substr(0, folder.size() - 1);
    const size_t slash = trimmed.find_last_of('/');
    const std::string from = trimmed.substr(slash + 1);
    Enter(trimmed.substr(0, slash + 1));
    // The folder we came from stays selected, as choosers do.
    for (int i = 0; i < int(entries.size()); ++i)
        if (entries[size_t(i)].folder && entries[size_t(i)].name == from) Select(i);
}

void FileChooserPanel::Select(int index) {
    if (entries.empty()) return;
    selected = std::clamp(index, 0, int(entries.size()) - 1);
    if (selected < first) first = selected;
    if (selected >= first + kVisibleRows) first = selected - kVisibleRows + 1;
}

IPixelRect FileChooserPanel::Box() const {
    return IPixelRect(105, 12, 625, 318);
}

IPixelRect FileChooserPanel::RowRect(int row) const {
    const IPixelRect b = Box();
    const int top = b.top + 62 + row * 18;
    return IPixelRect(b.left + 14, top, b.right - 14, top + 18);
}

IPixelRect FileChooserPanel::UpButton() const {
    const IPixelRect b = Box();
    return IPixelRect(b.left + 14, b.bottom - 32, b.left + 87, b.bottom - 11);
}

IPixelRect FileChooserPanel::AcceptButton() const {
    const IPixelRect b = Box();
    return IPixelRect(b.right - 170, b.bottom - 32, b.right - 97, b.bottom - 11);
}

IPixelRect FileChooserPanel::CancelButton() const {
    const IPixelRect b = Box();
    return IPixelRect(b.right - 87, b.bottom - 32, b.right - 14, b.bottom - 11);
}

void FileChooserPanel::Paint(IGraphics& editor) {
    const bool save = request.kind == FileDialogRequest::Save;
    const IPixelRect content = panel_look::DrawBox(editor, Box(), request.title);
    panel_look::DrawTextLine(editor, Tail(folder, 70),
                             IPixelRect(content.left, content.top - 2, content.right, content.top + 14),
                             true);
    // The list: a darker well with the selection in teal.
    const IPixelRect well(RowRect(0).left - 2, RowRect(0).top - 2, RowRect(0).right + 2,
                          RowRect(kVisibleRows - 1).bottom + 2);
    FillRectangle(editor.DrawSurface(), well.left, well.top, well.W(), well.H(), 0xff2a2a2eu, 1.0f, ModeCopy);
    if (unreadable) {
        panel_look::DrawTextLine(editor, "This folder cannot be read.", RowRect(0));
    } else if (entries.empty()) {
        panel_look::DrawTextLine(editor, "(no folders or " + request.filterPattern + " files here)",
                                 RowRect(0), false, int(0xff9a9a9e));
    }
    for (int row = 0; row < kVisibleRows && first + row < int(entries.size()); ++row) {
        const Entry& e = entries[size_t(first + row)];
        const IPixelRect r = RowRect(row);
        if (first + row == selected)
            FillRectangle(editor.DrawSurface(), r.left, r.top, r.W(), r.H(), 0xff1e838au, 1.0f, ModeCopy);
        panel_look::DrawTextLine(editor, e.folder ? e.name + "/" : e.name,
                                 IPixelRect(r.left + 4, r.top + 2, r.right - 4, r.bottom), e.folder);
    }
    if (save) {
        const IPixelRect field(Box().left + 100, Box().bottom - 60, Box().right - 14, Box().bottom - 40);
        panel_look::DrawTextLine(
            editor, "File name:", IPixelRect(Box().left + 14, field.top + 3, field.left - 4, field.bottom));
        FillRectangle(editor.DrawSurface(), field.left, field.top, field.W(), field.H(), 0xffffffffu, 1.0f,
                      ModeCopy);
        panel_look::DrawTextLine(editor, Tail(name, 60) + "|",
                                 IPixelRect(field.left + 4, field.top + 3, field.right - 4, field.bottom),
                                 false, int(0xff000000));
    }
    panel_look::DrawButton(editor, UpButton(), "Up", false);
    panel_look::DrawButton(editor, AcceptButton(), save ? "Save" : "Open", true);
    panel_look::DrawButton(editor, CancelButton(), "Cancel", false);
}

void FileChooserPanel::Click(IGraphics& editor, int x, int y, bool doubleClick) {
    if (UpButton().Contains(x, y)) {
        GoUp();
    } else if (AcceptButton().Contains(x, y)) {
        Accept(editor);
    } else if (CancelButton().Contains(x, y)) {
        Finish();
    } else {
        for (int row = 0; row < kVisibleRows; ++row) {
            if (!RowRect(row).Contains(x, y) || first + row >= int(entries.size())) continue;
            Select(first + row);
            const Entry& e = entries[size_t(selected)];
            if (!e.folder && request.kind == FileDialogRequest::Save) name = e.name;
            if (doubleClick) {
                if (e.folder) {
                    Enter(folder + e.name);
                } else {
                    name = request.kind == FileDialogRequest::Save ? e.name : name;
                    Accept(editor);
                }
            }
        }
    }
    Redraw(editor);
}

void FileChooserPanel::Wheel(IGraphics& editor, int steps) {
    first = std::clamp(first - steps * 3, 0, std::max(0, int(entries.size()) - kVisibleRows));
    Redraw(editor);
}

bool FileChooserPanel::Key(IGraphics& editor, PanelKey key, int character) {
    const bool save = request.kind == FileDialogRequest::Save;
    switch (key) {
    case PanelKey::Escape:
        Finish();
        break;
    case PanelKey::Return:
        Accept(editor);
        break;
    case PanelKey::Up:
        Select(selected - 1);
        break;
    case PanelKey::Down:
        Select(selected + 1);
        break;
    case PanelKey::PageUp:
        Select(selected - kVisibleRows);
        break;
    case PanelKey::PageDown:
        Select(selected + kVisibleRows);
        break;
    case PanelKey::Home:
        Select(0);
        break;
    case PanelKey::End:
        Select(int(entries.size()) - 1);
        break;
    case PanelKey::Backspace:
        if (save && !name.empty()) {
            // Whole characters, not bytes of one.
            do
                name.pop_back();
            while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xc0) == 0x80);
        } else {
            GoUp();
        }
        break;
    case PanelKey::Character:
        if (save && character >= 0x20 && name.size() < 255) {
            // Latin-1 as typed, kept as UTF-8.
            if (character < 0x80) {
                name.push_back(char(character));
            } else {
                name.push_back(char(0xc0 | (character >> 6)));
                name.push_back(char(0x80 | (character & 0x3f)));
            }
        }
        break;
    default:
        break;
    }
    Redraw(editor);
    return true;
}

void FileChooserPanel::Accept(IGraphics& editor) {
    const bool save = request.kind == FileDialogRequest::Save;
    const Entry* e = selected >= 0 && selected < int(entries.size()) ? &entries[size_t(selected)] : nullptr;
    if ((!save || name.empty()) && e && e->folder) {
        Enter(folder + e->name);
        return;
    }
    if (!save) {
        if (e) Take(editor, folder + e->name);
        return;
    }
    if (name.empty()) return;
    MessageRoute route(&editor);
    if (name.find('/') != std::string::npos) {
        editor.OpenPanel(std::make_unique<MessagePanel>("Info", "A file name cannot contain '/'."));
        return;
    }
    std::string file = name;
    if (!request.defaultExtension.empty() && !HasExtension(file)) file += "." + request.defaultExtension;
    const std::string path = folder + file;
    if (IsFolder(path)) {
        editor.OpenPanel(std::make_unique<MessagePanel>("Info", file + " is a folder."));
        return;
    }
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        // The question is answered later, on top of this panel.
        waitingForAnswer = true;
        editor.OpenPanel(std::make_unique<MessagePanel>(
            request.title, file + " already exists. Do you want to replace it?",
            std::vector<std::string>{"Yes", "No"}, [this, path, &editor](int answer) {
                waitingForAnswer = false;
                if (answer == 0) Take(editor, path);
            }));
        return;
    }
    Take(editor, path);
}

void FileChooserPanel::Take(IGraphics&, const std::string& path) {
    chosen = path;
    Finish();
}

void FileChooserPanel::Closed(IGraphics&) {
    if (done) done(chosen);
}
