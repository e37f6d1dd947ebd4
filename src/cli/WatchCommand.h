#pragma once

#include <string>

#include "cli/ReaderTarget.h"
#include "protocol/ReadComparison.h"

struct WatchOptions {
    bool compare = false;  // the first read is the reference, the others compared with it
    bool json = false;     // a JSON object a line
    int count = 0;         // stop after this many reads; 0 runs until interrupted
};

// --count's value: true and count for a whole number from 1 on.
bool ParseWatchCount(const std::string& value, int& count);

// The line printed for the index-th read (from 1), its verdict and the
// counts after it; without a newline.
std::string WatchLine(const std::string& text, int index, const WatchOptions& options,
                      ReadComparison::Verdict verdict, const ReadComparison& comparison);

// watch: prints each read as it arrives until count reads, SIGINT or
// SIGTERM (0), or until the reader goes away (74). On USB the reads come
// from the reader's keyboard interface, which is grabbed meanwhile.
int RunWatch(ReaderTarget& target, const WatchOptions& options, bool usb);
