#pragma once

#include <QTimer>
#include <string>

class QtForm;

// The Check Read Data box while a read arrives. A read grows by one
// character at a time, and laying out the whole text again for each one
// costs more than the character takes on the line: the box catches up with
// the read a few times a second, showing at most its beginning. The text
// itself lives on in the exchange until the read is complete.
class ReadDataView {
  public:
    explicit ReadDataView(QtForm& form);

    void Show(const std::string& text);
    // The read is over (or void): nothing more is shown of it.
    void Stop() { update_.stop(); }

  private:
    static constexpr int kUpdateMs = 50;
    // A flood would otherwise keep the window busy laying out text.
    static constexpr size_t kShownWhileReading = 4096;

    void ShowPending();

    QtForm& form_;
    QTimer update_;
    const std::string* pending_ = nullptr;  // the read text of an exchange
    bool shownCut_ = false;
};
