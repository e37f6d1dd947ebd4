#pragma once

#include <unistd.h>

#include <QTemporaryFile>
#include <cstdio>
#include <string>

// What the program writes on standard error while this lives goes to a
// file instead, to be read back.
class StandardErrorCapture {
  public:
    StandardErrorCapture() {
        file_.open();
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StandardErrorCapture() { Restore(); }
    StandardErrorCapture(const StandardErrorCapture&) = delete;
    StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;

    // Ends the capture; what was written.
    std::string Text() {
        Restore();
        file_.seek(0);
        return file_.readAll().toStdString();
    }

  private:
    void Restore() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
            saved_ = -1;
        }
    }

    QTemporaryFile file_;
    int saved_ = -1;
};
