#pragma once

#include <functional>

#include "cli/CliCommand.h"
#include "cli/ReaderTarget.h"

// Opens the reader the command line names (--serial, --device, or the one
// USB reader present) and runs work on it; with --all, on every USB reader
// present in turn, each one's output under its path (text) or as one entry
// of a JSON array, the status the highest of theirs.
int OnReaders(const CliInvocation& invocation, const std::function<int(ReaderTarget&)>& work);
