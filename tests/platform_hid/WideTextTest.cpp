#include <gtest/gtest.h>

#include <string>

#include "platform/hid/WideText.h"

namespace {

TEST(WideToUtf8, EncodesEveryCodePointLengthAndReplacesInvalidOnes) {
    const struct {
        std::wstring wide;
        std::string utf8;
    } cases[] = {
        {L"", ""},
        {L"Tallisk", "Tallisk"},
        {std::wstring{L'\u00E9'}, "\xC3\xA9"},
        {L"Ch\u00E8que \u8BFB\u5361\u5668", "Ch\xC3\xA8que \xE8\xAF\xBB\xE5\x8D\xA1\xE5\x99\xA8"},
        {std::wstring{static_cast<wchar_t>(0x1F600)}, "\xF0\x9F\x98\x80"},
        {std::wstring{static_cast<wchar_t>(0x10FFFF)}, "\xF4\x8F\xBF\xBF"},
        {std::wstring{static_cast<wchar_t>(0xD800), L'A'},
         "\xEF\xBF\xBD"
         "A"},
        {std::wstring{static_cast<wchar_t>(0x110000)}, "\xEF\xBF\xBD"},
        {std::wstring{static_cast<wchar_t>(-1)}, "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideToUtf8(c.wide), c.utf8) << c.utf8;
    }
}

}  // namespace
