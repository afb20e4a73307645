#include "graphics/menu_list.h"

#include <cstdio>

IMenuEntry& IMenuList::AddEntry(std::string text, int flags, std::unique_ptr<IMenuList> submenu) {
    auto entry = std::make_unique<IMenuEntry>();
    entry->text = std::move(text);
    entry->flags = flags;
    entry->submenu = std::move(submenu);
    entries.push_back(std::move(entry));
    return *entries.back();
}

IMenuEntry* IMenuList::Entry(int index) const {
    if (index < 0 || index >= NEntries()) return nullptr;
    return entries[size_t(index)].get();
}

std::string IMenuList::EntryCaption(int index) const {
    const IMenuEntry* entry = Entry(index);
    if (!entry) return {};
    const char* format = nullptr;
    switch (numberingPrefix) {
    case kOneDigit:
        format = "%1d: %s";
        break;
    case kTwoDigits:
        format = "%02d: %s";
        break;
    case kThreeDigits:
        format = "%03d: %s";
        break;
    default:
        return entry->text;
    }
    int n = std::snprintf(nullptr, 0, format, index + 1, entry->text.c_str());
    std::string out(size_t(n > 0 ? n : 0), '\0');
    std::snprintf(out.data(), out.size() + 1, format, index + 1, entry->text.c_str());
    return out;
}

namespace {

// Walks the numbering: `first` is where this menu's own numbers begin; returns the next free number.
template <typename Visit> int WalkCommands(const IMenuList& menu, int first, Visit&& visit) {
    int next = first + menu.NEntries();
    for (int i = 0; i < menu.NEntries(); ++i)
        if (visit(menu, i, first + i)) return -1;
    for (const auto& entry : menu.entries) {
        if (!entry->submenu) continue;
        next = WalkCommands(*entry->submenu, next, visit);
        if (next < 0) return -1;
    }
    return next;
}

} // namespace

IMenuList* IMenuList::ChooseByCommand(int command) {
    IMenuList* found = nullptr;
    WalkCommands(*this, 0, [&](const IMenuList& menu, int index, int number) {
        if (number != command) return false;
        found = const_cast<IMenuList*>(&menu);
        found->chosenIndex = index;
        return true;
    });
    return found;
}

int IMenuList::CommandOf(const IMenuList* menu, int index) const {
    int result = -1;
    WalkCommands(*this, 0, [&](const IMenuList& m, int i, int number) {
        if (&m != menu || i != index) return false;
        result = number;
        return true;
    });
    return result;
}

int IMenuList::CommandCount() const {
    return WalkCommands(*this, 0, [](const IMenuList&, int, int) { return false; });
}
