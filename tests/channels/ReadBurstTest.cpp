#include "channels/common/ReadBurst.h"

#include <gtest/gtest.h>

#include "channels/common/ExchangeBuffers.h"

namespace {

TEST(ReadBurst, FramingStaysOutOfTheTextAndTheTextStopsAtItsBound) {
    const struct {
        std::string characters;  // one character a byte, as typed
        std::string text;
        int framing;
    } cases[] = {
        {"\x02T12\x1b"
         "3\x03\r\n",
         "T123", 5},
        {"\r\n", "", 2},
        {"abc", "abc", 0},
    };
    for (const auto& c : cases) {
        ReadBurst burst;
        EXPECT_TRUE(burst.Begin());
        EXPECT_FALSE(burst.Begin()) << "a burst under way goes on";
        int framing = 0;
        for (char ch : c.characters) {
            framing += burst.Add(std::string(1, ch)) ? 0 : 1;
        }
        EXPECT_EQ(burst.Text(), c.text);
        EXPECT_EQ(framing, c.framing);
        EXPECT_TRUE(burst.End());
        EXPECT_FALSE(burst.End());
        EXPECT_EQ(burst.Text(), c.text) << "the text outlives its burst";
    }
}

TEST(ReadBurst, LineBytesBecomeCharactersAndALongReadKeepsItsBeginning) {
    EXPECT_EQ(ReadBurst::CharacterOf('A'), "A");
    EXPECT_EQ(ReadBurst::CharacterOf(0xE9), "\xC3\xA9");
    EXPECT_EQ(ReadBurst::CharacterOf(0xA0), "\xC2\xA0");
    EXPECT_FALSE(ReadBurst::IsFraming(ReadBurst::CharacterOf(0x82)));  // not STX

    ReadBurst burst;
    burst.Begin();
    for (size_t i = 0; i < kMaxReadTextBytes + 10; ++i) {
        EXPECT_TRUE(burst.Add("x"));  // still part of the read
    }
    EXPECT_EQ(burst.Text().size(), kMaxReadTextBytes);
    burst.End();
    EXPECT_TRUE(burst.Begin());
    EXPECT_EQ(burst.Text(), "") << "a new burst starts empty";
    burst.Add("y");
    burst.Forget();
    EXPECT_EQ(burst.Text(), "");
}

}  // namespace
