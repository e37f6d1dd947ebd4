#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One cheque or card read as it arrives, a character at a time: a burst
// that a pause ends. Its text leaves out the framing characters and keeps
// at most kMaxReadTextBytes; both channels gather their reads with it.
class ReadBurst {
  public:
    // STX, ETX, LF, CR and ESC frame a read; they are not part of its text.
    static bool IsFraming(std::string_view character);
    // A byte of the line as a character of the text (UTF-8).
    static std::string CharacterOf(uint8_t byte);

    bool Active() const { return active_; }
    // Begins a burst unless one is under way: true when this began one,
    // with an empty text.
    bool Begin();
    // Adds one character to the text while there is room; false for a
    // framing character, which is not part of the read.
    bool Add(std::string_view character);
    // Ends the burst: true when one was under way. The text stays until the
    // next burst begins.
    bool End();
    void Forget() { text_.clear(); }

    const std::string& Text() const { return text_; }

  private:
    bool active_ = false;
    std::string text_;
};
