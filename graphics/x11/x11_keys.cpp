#include "graphics/x11/x11_keys.h"

int VirtualKeyForKeysym(uint32_t sym) {
    switch (sym) {
    case ' ':
        return 32;
    case kSymLeft:
    case 0xff96: // keypad left
        return 37;
    case kSymUp:
    case 0xff97:
        return 38;
    case kSymRight:
    case 0xff98:
        return 39;
    case kSymDown:
    case 0xff99:
        return 40;
    default:
        break;
    }
    if (sym >= '0' && sym <= '9') return int(sym);
    if (sym >= 'A' && sym <= 'Z') return int(sym);
    if (sym >= 'a' && sym <= 'z') return int(sym - 'a' + 'A');
    return -1;
}

int CharacterForKeysym(uint32_t sym) {
    if (sym >= 0x20 && sym <= 0x7e) return int(sym);
    if (sym >= 0xa0 && sym <= 0xff) return int(sym);
    if (sym >= 0xffb0 && sym <= 0xffb9) return int('0' + (sym - 0xffb0));
    switch (sym) {
    case 0xffae: // keypad decimal
        return '.';
    case 0xffab:
        return '+';
    case 0xffad:
        return '-';
    case 0xffaa:
        return '*';
    case 0xffaf:
        return '/';
    case 0xff80: // keypad space
        return ' ';
    default:
        return -1;
    }
}
