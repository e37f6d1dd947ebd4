#pragma once

// tallisk-cli: reads, saves, writes and verifies readers' configurations,
// sends commands and lists readers, without a window. Gives the exit status.
int RunCli(int argc, const char* const* argv);
