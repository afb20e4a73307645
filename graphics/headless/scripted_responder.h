#pragma once

#include "graphics/menu_list.h"
#include "graphics/pixel_rect.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

// Stands in for the person in front of a headless editor: answers message dialogs, popup menus,
// text entries and link openings. Answers are queued in advance; when the queue is empty the
// person dismisses (OK for messages, cancel for the rest).
// Every question asked is recorded so callers can check what the editor showed.
class ScriptedResponder {
  public:
    struct Question {
        std::string kind; // "message", "menu", "text", "url"
        std::string text; // message text, menu captions joined by '|', entry text, url
        std::string caption;
        int type = 0;
        IPixelRect rect;
        std::vector<int> entryFlags; // menus: each entry's flags
    };

    // ---- Scripting ----
    void AnswerMessage(int result) { messageAnswers.push_back(result); }
    // The command number of the menu entry to pick (the top menu's entries count from 0, then each
    // submenu in turn), or -1 to dismiss the menu.
    void AnswerMenu(int command) { menuAnswers.push_back(command); }
    // Text the person types and commits; std::nullopt cancels the entry.
    void AnswerTextEntry(std::optional<std::string> text) { textAnswers.push_back(std::move(text)); }
    // Whether opening the next address succeeds (a connection and a browser are there).
    void AnswerUrl(bool opens) { urlAnswers.push_back(opens); }

    // ---- Asked by the headless editor ----
    int Message(const std::string& text, const std::string& caption, int type);
    int Menu(const IMenuList& menu, const IPixelRect& rect);
    std::optional<std::string> TextEntry(const std::string& initial, const IPixelRect& rect);
    bool Url(const std::string& url);

    std::vector<Question> asked;

  private:
    std::deque<int> messageAnswers;
    std::deque<int> menuAnswers;
    std::deque<std::optional<std::string>> textAnswers;
    std::deque<bool> urlAnswers;
};
