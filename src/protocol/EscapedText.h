#pragma once

#include <string>
#include <string_view>

// Bytes from a file or a reader as a message shows them. Printable ASCII
// stays as it is; the quote and the backslash become \" and \\, a line feed,
// carriage return and tab \n, \r and \t, and every other byte (a NUL, ESC,
// any control, DEL and every byte from 0x80 on) \xNN in lower-case hex. So
// no byte of theirs can move the cursor, retitle a terminal, forge a line of
// ours or cut the message short, and the escaped text names every byte.
std::string EscapedText(std::string_view bytes);

// The same between double quotes: how a message quotes what it found.
std::string QuotedText(std::string_view bytes);
