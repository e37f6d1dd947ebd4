// The US-layout decoding of the keys a USB reader types, and the way its
// characters become reads, in process: the characters go through the USB
// exchange's key path as the window's do.
#include "cli/UsLayout.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <QElapsedTimer>
#include <string>
#include <vector>

#include "cli/ReaderSession.h"
#include "sim/SimulatedDeviceWatch.h"
#include "sim/SimulatedHidPlatform.h"

namespace {

TEST(UsLayout, KeysGiveTheirUsCharacterWithAndWithoutShift) {
    const struct {
        uint16_t code;
        bool shift;
        std::string character;
    } cases[] = {
        {KEY_A, false, "a"},
        {KEY_A, true, "A"},
        {KEY_Z, true, "Z"},
        {KEY_1, false, "1"},
        {KEY_1, true, "!"},
        {KEY_2, true, "@"},
        {KEY_0, true, ")"},
        {KEY_MINUS, false, "-"},
        {KEY_MINUS, true, "_"},
        {KEY_EQUAL, true, "+"},
        {KEY_SEMICOLON, true, ":"},
        {KEY_APOSTROPHE, true, "\""},
        {KEY_SLASH, true, "?"},
        {KEY_DOT, false, "."},
        {KEY_GRAVE, true, "~"},
        {KEY_SPACE, true, " "},
        {KEY_ENTER, false, "\r"},
        {KEY_KPENTER, false, "\r"},
        {KEY_KP7, false, "7"},
        {KEY_TAB, false, "\t"},
        {KEY_ESC, false, "\x1b"},
        // Keys that type nothing.
        {KEY_LEFTSHIFT, false, ""},
        {KEY_F1, false, ""},
        {KEY_CAPSLOCK, false, ""},
        {KEY_RESERVED, false, ""},
        {0x2ff, true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UsCharacter(c.code, c.shift), c.character)
            << "code " << c.code << (c.shift ? " shifted" : "");
    }
}

TEST(UsLayout, TheKeyboardFollowsItsModifiersAndTypesOnPressesOnly) {
    constexpr int kPress = 1;
    constexpr int kRelease = 0;
    constexpr int kRepeat = 2;
    const struct {
        std::vector<std::pair<uint16_t, int>> events;
        std::string typed;
    } cases[] = {
        {{{KEY_A, kPress}, {KEY_A, kRelease}}, "a"},
        {{{KEY_LEFTSHIFT, kPress}, {KEY_A, kPress}, {KEY_LEFTSHIFT, kRelease}, {KEY_A, kPress}},
         "Aa"},
        {{{KEY_RIGHTSHIFT, kPress}, {KEY_3, kPress}, {KEY_RIGHTSHIFT, kRelease}, {KEY_3, kPress}},
         "#3"},
        // Either shift key holds the shift while the other is released.
        {{{KEY_LEFTSHIFT, kPress},
          {KEY_RIGHTSHIFT, kPress},
          {KEY_LEFTSHIFT, kRelease},
          {KEY_B, kPress}},
         "B"},
        {{{KEY_A, kPress}, {KEY_A, kRepeat}, {KEY_A, kRepeat}}, "a"},
        // Control makes the control characters that frame a read.
        {{{KEY_LEFTCTRL, kPress}, {KEY_B, kPress}, {KEY_C, kPress}, {KEY_1, kPress}}, "\x02\x03"},
        {{{KEY_RIGHTCTRL, kPress},
          {KEY_LEFTBRACE, kPress},
          {KEY_RIGHTCTRL, kRelease},
          {KEY_LEFTBRACE, kPress}},
         "\x1b["},
        {{{KEY_LEFTALT, kPress}, {KEY_A, kPress}, {KEY_LEFTALT, kRelease}, {KEY_A, kPress}}, "a"},
    };
    for (const auto& c : cases) {
        UsKeyboard keyboard;
        std::string typed;
        for (const auto& [code, value] : c.events) {
            typed += keyboard.Key(code, value);
        }
        EXPECT_EQ(typed, c.typed);
    }
}

// The key events a reader sends to type text in the US layout.
std::vector<std::pair<uint16_t, int>> KeysOf(const std::string& text) {
    std::vector<std::pair<uint16_t, int>> events;
    for (const char c : text) {
        for (uint16_t code = 0; code < KEY_MAX; ++code) {
            const bool plain = UsCharacter(code, false) == std::string(1, c);
            if (plain || UsCharacter(code, true) == std::string(1, c)) {
                if (!plain) {
                    events.emplace_back(KEY_LEFTSHIFT, 1);
                }
                events.emplace_back(code, 1);
                events.emplace_back(code, 0);
                if (!plain) {
                    events.emplace_back(KEY_LEFTSHIFT, 0);
                }
                break;
            }
        }
    }
    return events;
}

class KeysOnUsb : public ::testing::Test {
  protected:
    void SetUp() override {
        auto platform = std::make_unique<SimulatedHidPlatform>();
        SimulatedHidPlatform& devices = *platform;
        devices.AddReader();
        session = std::make_unique<ReaderSession>(std::move(platform),
                                                  std::make_unique<SimulatedDeviceWatch>(devices));
        ASSERT_TRUE(session->Open(kUsbHidMode));
        session->onRead = [this](const std::string& text) { reads.push_back(text); };
    }

    void Type(const std::string& text) {
        for (const auto& [code, value] : KeysOf(text)) {
            const std::string character = keyboard.Key(code, value);
            if (!character.empty()) {
                session->KeyCharacter(character);
            }
        }
    }

    // Runs the event loop until the pause after the last key ended its burst
    // (reads holds count reads), or a limit long past it.
    void Settle(size_t count) {
        QElapsedTimer clock;
        clock.start();
        session->Watch([&] { return reads.size() >= count || clock.elapsed() > 10000; });
    }

    std::unique_ptr<ReaderSession> session;
    UsKeyboard keyboard;
    std::vector<std::string> reads;
};

TEST_F(KeysOnUsb, TypedKeysBecomeReadsAsInTheWindow) {
    const std::string cheque = "T123456789T 0001234567O 0150A";
    Type(cheque + "\r");
    Settle(1);
    Type("%B4111111111111111^CARD/TEST^?;4111111111111111=?\r");
    Settle(2);
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0], cheque) << "the Enter that ends the read is framing, not text";
    EXPECT_EQ(reads[1], "%B4111111111111111^CARD/TEST^?;4111111111111111=?");
}

TEST_F(KeysOnUsb, ABurstOfFewerThanFifteenCharactersIsNoRead) {
    Type("12345678901234");  // 14
    Type("\r");              // the 15th character: counted, though not text
    Settle(1);
    Type("shortburst");
    QElapsedTimer clock;
    clock.start();
    session->Watch([&] { return clock.elapsed() > 500; });
    Type("T111111111T 22222O");
    Settle(2);
    EXPECT_EQ(reads, (std::vector<std::string>{"12345678901234", "T111111111T 22222O"}));
}

}  // namespace
