#pragma once

#include <cstdint>
#include <string>

// The characters a reader types, from the key codes of its keyboard
// interface (linux/input-event-codes.h). The reader types in the US layout
// whatever layout the desktop uses, so its codes are decoded with that
// layout here rather than by the desktop's keymap.

// The character of one key in the US layout, with or without shift; empty
// for a key that types nothing (a modifier, a function key, an unknown code).
std::string UsCharacter(uint16_t code, bool shift);

// Follows the modifier keys of one keyboard and turns its key presses into
// characters as a desktop would: shift for the shifted symbols, control with
// a letter or [ \ ] for the control character (Ctrl+B is STX).
class UsKeyboard {
  public:
    // One key event: value 1 pressed, 0 released, 2 repeated. The character
    // it types, or empty.
    std::string Key(uint16_t code, int32_t value);

  private:
    bool leftShift_ = false;
    bool rightShift_ = false;
    bool leftControl_ = false;
    bool rightControl_ = false;
    bool alt_ = false;
};
