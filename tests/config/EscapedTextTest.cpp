// How a message shows bytes that came from a file or a reader.
#include <gtest/gtest.h>

#include <string>

#include "protocol/EscapedText.h"

namespace {

TEST(EscapedText, EveryByteThatIsNotPrintableAsciiIsNamedByAnEscape) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"", ""},
        {"E13B ~!#%^&*()_+-=[]{}|;:',./<>?`", "E13B ~!#%^&*()_+-=[]{}|;:',./<>?`"},
        {R"(say "hi" \ bye)", R"(say \"hi\" \\ bye)"},
        {"a\0b"s, R"(a\x00b)"},
        {"\0"s, R"(\x00)"},
        {"\x1b]0;title\x07\x1b[2J", R"(\x1b]0;title\x07\x1b[2J)"},
        {"ok\ntallisk-cli: /dev/ttyS0: verified\r\n",
         R"(ok\ntallisk-cli: /dev/ttyS0: verified\r\n)"},
        {"\t\x01\x1f\x7f", R"(\t\x01\x1f\x7f)"},
        {"caf\xc3\xa9 \x80\xff\x9b", R"(caf\xc3\xa9 \x80\xff\x9b)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapedText(c.bytes), c.shown) << c.shown;
        EXPECT_EQ(QuotedText(c.bytes), "\"" + c.shown + "\"") << c.shown;
    }
}

TEST(EscapedText, TheEscapedTextHoldsOnlyPrintableAscii) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    const std::string shown = EscapedText(all);
    for (const char c : shown) {
        EXPECT_TRUE(c >= 0x20 && c < 0x7f) << static_cast<int>(c);
    }
    // 95 printable bytes as one character each (two of them escaped as
    // two), 3 named controls as two, and the other 158 bytes as four.
    EXPECT_EQ(shown.size(), 93u + 2 * 2 + 3 * 2 + 158 * 4);
}

}  // namespace
