#pragma once

#include <cstddef>
#include <string>

// The most a configuration file may hold. A real one is about 2 KB; the
// bound keeps a wrong path (a device, a log) from filling the memory.
inline constexpr size_t kMaxInputFileBytes = 1024 * 1024;

struct InputFile {
    bool ok = false;
    std::string text;   // the bytes, when ok
    std::string shown;  // how a message names it: the path escaped, or "standard input"
    std::string why;    // why it is not read: "it is a directory", ...
};

// The bytes of a configuration file: a regular file, or standard input for
// "-" when that is a regular file, a pipe or a socket (not a terminal, where
// the program would wait for typing that nobody meant). Nothing else is
// opened or read: no device node, named pipe or directory, nothing past
// kMaxInputFileBytes.
InputFile ReadInputFile(const std::string& name);
