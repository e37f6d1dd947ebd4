#pragma once

#include <memory>
#include <string>

#include "cli/ReaderSession.h"
#include "commandline/CommandLine.h"

// The reader a command works on, as the command line chose it: the serial
// line of --serial, the USB reader of --device, or the one USB reader present.
class ReaderTarget {
  public:
    // device, when given, is the USB reader's node whatever the line says.
    explicit ReaderTarget(const CommandLine& line, std::string device = "")
        : line_(line), device_(std::move(device)) {}

    // 0 when open, else the exit status (and why, on standard error).
    int Open();

    ReaderSession& Session() { return *session_; }
    const std::string& Path() const { return path_; }

  private:
    const CommandLine& line_;
    std::string device_;
    std::string path_;
    std::unique_ptr<ReaderSession> session_;
};

// The exit status of a command's outcome, success being the status text of
// an acknowledged command; says why on standard error.
int StatusOf(const ReaderSession::Outcome& outcome, const std::string& success,
             const std::string& path);
