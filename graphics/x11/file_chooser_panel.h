#pragma once

#include "graphics/graphics.h"
#include "graphics/modal_panel.h"

#include <string>
#include <vector>

// The editor's own file chooser, for desktops without a dialog program: the folder's sub-folders
// and files of the request's pattern, a way up, for Save a name field (with the question before
// replacing a file), and Cancel. Keyboard: the arrows and page keys move the selection, Return
// opens a folder or takes the file (or the typed name), Backspace goes up when there is no name
// to edit, Escape cancels. Mouse: a click selects, a double-click opens or takes, the wheel
// scrolls.
class FileChooserPanel : public IModalPanel {
  public:
    FileChooserPanel(const FileDialogRequest& request, const std::string& folder, FileChoiceDone done);
    void Paint(IGraphics& editor) override;
    void Click(IGraphics& editor, int x, int y, bool doubleClick) override;
    bool Key(IGraphics& editor, PanelKey key, int character) override;
    void Wheel(IGraphics& editor, int steps) override;
    void Closed(IGraphics& editor) override;

    // For tests: where things are and what is listed.
    struct Entry {
        std::string name;
        bool folder = false;
    };
    const std::string& Folder() const { return folder; }
    const std::vector<Entry>& Entries() const { return entries; }
    const std::string& Name() const { return name; }
    bool FolderUnreadable() const { return unreadable; }
    int Selected() const { return selected; } // index into Entries(), -1 for none
    int FirstVisible() const { return first; }
    IPixelRect Box() const;
    IPixelRect RowRect(int visibleRow) const;
    IPixelRect UpButton() const;
    IPixelRect AcceptButton() const;
    IPixelRect CancelButton() const;
    static constexpr int kVisibleRows = 9;

  private:
    void Enter(const std::string& path);
    void GoUp();
    void Select(int index);
    // Return or the accept button: opens the selected folder or takes the file (or typed name).
    void Accept(IGraphics& editor);
    void Take(IGraphics& editor, const std::string& path);
    void Redraw(IGraphics& editor) { editor.MarkAllControlsDirty(); }

    FileDialogRequest request;
    FileChoiceDone done;
    std::string folder; // ends with '/'
    std::vector<Entry> entries;
    bool unreadable = false;
    int selected = -1;
    int first = 0; // first visible entry
    std::string name;
    std::optional<std::string> chosen;
    bool waitingForAnswer = false;
};
