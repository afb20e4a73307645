#pragma once

#include <cstdint>

// Key symbols as the editor reads them.

// The window system's virtual-key number of a key the editor may take (space 32, arrows 37 to 40,
// digits, letters as upper case); -1 for every other key, which belongs to the host.
int VirtualKeyForKeysym(uint32_t keysym);

// The Latin-1 character a key types into a text field (keypad digits and signs included); -1 for
// keys that type nothing.
int CharacterForKeysym(uint32_t keysym);

// Keysyms the text field handles itself.
enum : uint32_t {
    kSymBackSpace = 0xff08,
    kSymTab = 0xff09,
    kSymReturn = 0xff0d,
    kSymEscape = 0xff1b,
    kSymHome = 0xff50,
    kSymLeft = 0xff51,
    kSymUp = 0xff52,
    kSymRight = 0xff53,
    kSymDown = 0xff54,
    kSymEnd = 0xff57,
    kSymKpEnter = 0xff8d,
    kSymDelete = 0xffff,
};
