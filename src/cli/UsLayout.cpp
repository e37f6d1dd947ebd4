#include "cli/UsLayout.h"

#include <linux/input-event-codes.h>

namespace {

struct KeyCharacters {
    uint16_t code;
    char plain;
    char shifted;
};

constexpr KeyCharacters kUsKeys[] = {
    {KEY_A, 'a', 'A'},
    {KEY_B, 'b', 'B'},
    {KEY_C, 'c', 'C'},
    {KEY_D, 'd', 'D'},
    {KEY_E, 'e', 'E'},
    {KEY_F, 'f', 'F'},
    {KEY_G, 'g', 'G'},
    {KEY_H, 'h', 'H'},
    {KEY_I, 'i', 'I'},
    {KEY_J, 'j', 'J'},
    {KEY_K, 'k', 'K'},
    {KEY_L, 'l', 'L'},
    {KEY_M, 'm', 'M'},
    {KEY_N, 'n', 'N'},
    {KEY_O, 'o', 'O'},
    {KEY_P, 'p', 'P'},
    {KEY_Q, 'q', 'Q'},
    {KEY_R, 'r', 'R'},
    {KEY_S, 's', 'S'},
    {KEY_T, 't', 'T'},
    {KEY_U, 'u', 'U'},
    {KEY_V, 'v', 'V'},
    {KEY_W, 'w', 'W'},
    {KEY_X, 'x', 'X'},
    {KEY_Y, 'y', 'Y'},
    {KEY_Z, 'z', 'Z'},
    {KEY_1, '1', '!'},
    {KEY_2, '2', '@'},
    {KEY_3, '3', '#'},
    {KEY_4, '4', '$'},
    {KEY_5, '5', '%'},
    {KEY_6, '6', '^'},
    {KEY_7, '7', '&'},
    {KEY_8, '8', '*'},
    {KEY_9, '9', '('},
    {KEY_0, '0', ')'},
    {KEY_MINUS, '-', '_'},
    {KEY_EQUAL, '=', '+'},
    {KEY_LEFTBRACE, '[', '{'},
    {KEY_RIGHTBRACE, ']', '}'},
    {KEY_BACKSLASH, '\\', '|'},
    {KEY_SEMICOLON, ';', ':'},
    {KEY_APOSTROPHE, '\'', '"'},
    {KEY_GRAVE, '`', '~'},
    {KEY_COMMA, ',', '<'},
    {KEY_DOT, '.', '>'},
    {KEY_SLASH, '/', '?'},
    {KEY_SPACE, ' ', ' '},
    {KEY_TAB, '\t', '\t'},
    {KEY_ENTER, '\r', '\r'},
    {KEY_ESC, '\x1b', '\x1b'},
    {KEY_BACKSPACE, '\b', '\b'},
    // The keypad, as with Num Lock on: a reader that types there means digits.
    {KEY_KP0, '0', '0'},
    {KEY_KP1, '1', '1'},
    {KEY_KP2, '2', '2'},
    {KEY_KP3, '3', '3'},
    {KEY_KP4, '4', '4'},
    {KEY_KP5, '5', '5'},
    {KEY_KP6, '6', '6'},
    {KEY_KP7, '7', '7'},
    {KEY_KP8, '8', '8'},
    {KEY_KP9, '9', '9'},
    {KEY_KPENTER, '\r', '\r'},
    {KEY_KPMINUS, '-', '-'},
    {KEY_KPPLUS, '+', '+'},
    {KEY_KPASTERISK, '*', '*'},
    {KEY_KPSLASH, '/', '/'},
    {KEY_KPDOT, '.', '.'},
};

}  // namespace

std::string UsCharacter(uint16_t code, bool shift) {
    for (const KeyCharacters& key : kUsKeys) {
        if (key.code == code) {
            return std::string(1, shift ? key.shifted : key.plain);
        }
    }
    return {};
}

std::string UsKeyboard::Key(uint16_t code, int32_t value) {
    const bool down = value != 0;
    switch (code) {
        case KEY_LEFTSHIFT:
            leftShift_ = down;
            return {};
        case KEY_RIGHTSHIFT:
            rightShift_ = down;
            return {};
        case KEY_LEFTCTRL:
            leftControl_ = down;
            return {};
        case KEY_RIGHTCTRL:
            rightControl_ = down;
            return {};
        case KEY_LEFTALT:
        case KEY_RIGHTALT:
            alt_ = down;
            return {};
        default:
            break;
    }
    // A reader never holds a key down: a repeat would be a second character
    // it did not type.
    if (value != 1 || alt_) {
        return {};
    }
    std::string character = UsCharacter(code, leftShift_ || rightShift_);
    if ((leftControl_ || rightControl_) && character.size() == 1) {
        const char c = character[0];
        const bool controlled =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '[' || c == '\\' || c == ']';
        return controlled ? std::string(1, static_cast<char>(c & 0x1F)) : std::string();
    }
    return character;
}
