#pragma once

#include <memory>
#include <string>
#include <vector>

struct IMenuList;

// One line of a popup menu; a submenu, when present, belongs to the entry.
struct IMenuEntry {
    enum Flags { kGreyed = 1, kDisabled = 2, kTicked = 4, kSeparator = 8 };

    std::string text;
    std::unique_ptr<IMenuList> submenu;
    int flags = 0;
};

// A popup menu as the editor describes it, independent of any window system.
struct IMenuList {
    enum Numbering { kNoNumbers = 0, kOneDigit = 1, kTwoDigits = 2, kThreeDigits = 3 };

    int numberingPrefix = kNoNumbers;
    int chosenIndex = -1;
    std::vector<std::unique_ptr<IMenuEntry>> entries;

    IMenuEntry& AddEntry(std::string text, int flags = 0, std::unique_ptr<IMenuList> submenu = nullptr);
    int NEntries() const { return int(entries.size()); }
    // Null for an index outside the list.
    IMenuEntry* Entry(int index) const;

    // The text shown for an entry, with its 1-based position when the menu is numbered.
    std::string EntryCaption(int index) const;

    // Command numbers are handed out depth-first: a menu's entries take consecutive numbers from
    // where the counter stands, then each submenu in entry order takes the next range. The top
    // menu starts at 0. Returns the menu that holds the command, with its chosen index set, or
    // null when no entry has that number.
    IMenuList* ChooseByCommand(int command);
    // The command number of an entry of this menu or of a menu below it; -1 when not found.
    int CommandOf(const IMenuList* menu, int index) const;
    // How many command numbers this menu and its submenus use.
    int CommandCount() const;
};
