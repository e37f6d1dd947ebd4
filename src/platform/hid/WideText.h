#pragma once

#include <string>
#include <string_view>

// UTF-8 for a wide string of code points (wchar_t holds one code point on
// Linux). Surrogates and values beyond U+10FFFF become U+FFFD. Does not depend
// on the locale.
std::string WideToUtf8(std::wstring_view text);
