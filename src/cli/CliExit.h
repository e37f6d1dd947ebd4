#pragma once

// The exit statuses of tallisk-cli, as its --help and manual page give them.
enum CliExit : int {
    kCliOk = 0,
    kCliRefused = 1,    // the reader said no, or verify found differences
    kCliUsage = 64,     // a wrong command line, or a file that is refused
    kCliNoReader = 69,  // no reader, more than one, or it cannot be opened
    kCliNoAnswer = 74,  // the reader did not answer or went away, or watch cannot write
};
