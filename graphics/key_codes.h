#pragma once

// Key codes handed to controls. Keys outside this set are not control keys and go to the host.
enum IKeyCode {
    kKeySpace = 0,
    kKeyUp = 1,
    kKeyDown = 2,
    kKeyLeft = 3,
    kKeyRight = 4,
    kKeyDigit0 = 5,   // '0' to '9' are 5 to 14
    kKeyLetterA = 15, // 'A' to 'Z' and 'a' to 'z' are 15 to 40
};

// Maps a window system's virtual-key number (space 32, arrows 37 to 40, digits, letters) to a
// control key code; -1 for any other key.
constexpr int ControlKeyForVirtualKey(int vk) {
    if (vk == 32) return kKeySpace;
    switch (vk) {
    case 37:
        return kKeyLeft;
    case 38:
        return kKeyUp;
    case 39:
        return kKeyRight;
    case 40:
        return kKeyDown;
    default:
        break;
    }
    if (vk >= '0' && vk <= '9') return kKeyDigit0 + (vk - '0');
    if (vk >= 'A' && vk <= 'Z') return kKeyLetterA + (vk - 'A');
    if (vk >= 'a' && vk <= 'z') return kKeyLetterA + (vk - 'a');
    return -1;
}
