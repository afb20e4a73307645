#include "graphics/headless/scripted_responder.h"

#include "graphics/message_dialog.h"

namespace {

template <typename T> T Next(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T v = std::move(queue.front());
    queue.pop_front();
    return v;
}

} // namespace

int ScriptedResponder::Message(const std::string& text, const std::string& caption, int type) {
    asked.push_back({"message", text, caption, type, {}, {}});
    int fallback = (type == kMessageYesNo) ? kResultNo : (type == kMessageOk ? kResultOk : kResultCancel);
    return Next(messageAnswers, fallback);
}

int ScriptedResponder::Menu(const IMenuList& menu, const IPixelRect& rect) {
    std::string captions;
    std::vector<int> flags;
    for (int i = 0; i < menu.NEntries(); ++i) {
        if (i) captions += '|';
        captions += menu.EntryCaption(i);
        flags.push_back(menu.Entry(i)->flags);
    }
    asked.push_back({"menu", captions, "", 0, rect, flags});
    return Next(menuAnswers, -1);
}

std::optional<std::string> ScriptedResponder::TextEntry(const std::string& initial, const IPixelRect& rect) {
    asked.push_back({"text", initial, "", 0, rect, {}});
    return Next(textAnswers, std::optional<std::string>());
}

bool ScriptedResponder::Url(const std::string& url) {
    asked.push_back({"url", url, "", 0, {}, {}});
    return Next(urlAnswers, false);
}
