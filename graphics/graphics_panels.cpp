#include "graphics/graphics.h"
#include "graphics/modal_panel.h"
#include "raster/sys_bitmap.h"

#include <algorithm>

// Modal panels of the editor core: drawn over the dimmed face, they take all input while open.

void IGraphics::ChooseFileThen(const FileDialogRequest& request, FileChoiceDone done) {
    std::optional<std::string> chosen = UserDialogs().ChooseFile(request);
    if (done) done(chosen);
}

int IGraphics::OpenDocument(const std::string& path) {
    return UserDialogs().OpenWithShell(path);
}

void IGraphics::OpenPanel(std::unique_ptr<IModalPanel> panel) {
    if (!panel) return;
    ReleaseCapture();
    panels.push_back(std::move(panel));
    MarkAllControlsDirty();
}

bool IGraphics::DropPanel(IModalPanel* panel) {
    for (auto it = panels.begin(); it != panels.end(); ++it)
        if (it->get() == panel) {
            panels.erase(it);
            MarkAllControlsDirty();
            return true;
        }
    return false;
}

void IGraphics::DropTransientPanels() {
    const size_t before = panels.size();
    panels.erase(
        std::remove_if(panels.begin(), panels.end(),
                       [](const std::unique_ptr<IModalPanel>& p) { return !p->KeepsWithoutWindow(); }),
        panels.end());
    if (panels.size() != before) MarkAllControlsDirty();
}

void IGraphics::SweepPanels() {
    for (size_t i = 0; i < panels.size();) {
        if (!panels[i]->Finished()) {
            ++i;
            continue;
        }
        std::unique_ptr<IModalPanel> done = std::move(panels[i]);
        panels.erase(panels.begin() + long(i));
        MarkAllControlsDirty();
        done->Closed(*this);
        i = 0; // Closed may have opened or finished others
    }
}

bool IGraphics::PanelKeyDown(PanelKey key, int character) {
    if (panels.empty()) return false;
    const bool taken = panels.back()->Key(*this, key, character);
    SweepPanels();
    return taken;
}

void IGraphics::QueueMessage(const std::string& caption, const std::string& text) {
    std::lock_guard<std::mutex> guard(queueMutex);
    messageQueue.push_back({caption, text});
}

void IGraphics::TakeMessage(const std::string& caption, const std::string& text, MessageIcon) {
    if (ShowsMessagesInEditor()) QueueMessage(caption, text);
}

size_t IGraphics::QueuedMessages() const {
    std::lock_guard<std::mutex> guard(queueMutex);
    return messageQueue.size();
}

void IGraphics::ShowQueuedMessages() {
    std::vector<QueuedMessage> taken;
    {
        std::lock_guard<std::mutex> guard(queueMutex);
        if (messageQueue.empty()) return;
        taken.swap(messageQueue);
    }
    // The stack shows its top, and the first message raised is to be answered first.
    for (auto it = taken.rbegin(); it != taken.rend(); ++it)
        OpenPanel(std::make_unique<MessagePanel>(it->caption, it->text));
}

void IGraphics::PaintPanels() {
    RAST_SysBitmap* surface = drawSurface.get();
    if (!surface) return;
    // The face below is dimmed to half, the way a modal box sets itself apart.
    for (int y = 0; y < surface->Height(); ++y) {
        RAST_Pixel* row = surface->Row(y);
        for (int x = 0; x < surface->Width(); ++x)
            row[x] = (row[x] & 0xff000000u) | ((row[x] >> 1) & 0x7f7f7fu);
    }
    for (auto& panel : panels)
        panel->Paint(*this);
}
