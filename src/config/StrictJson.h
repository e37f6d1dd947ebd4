#pragma once

#include <map>
#include <string>
#include <string_view>

// A JSON text (RFC 8259) checked with none of the latitude a parser may
// take, before a lenient parser reads it: a key given twice in one object,
// an escape JSON has not, a raw control character or a byte that is not
// UTF-8 in a string, and an unpaired UTF-16 surrogate are refused, as is
// every syntax error and nesting deeper than a configuration needs.
struct JsonCheck {
    bool ok = false;
    // Why not, one line: "not valid JSON at line L, column C (in PATH): what".
    std::string problem;
    // Every number as the text writes it, by the path of the member that
    // holds it: "version", "settings.track1Limit", "block[2]". Keys in a
    // path are escaped as messages show them.
    std::map<std::string, std::string> numbers;
};

JsonCheck CheckStrictJson(std::string_view text);
