#pragma once

#include <string>

#include "protocol/FormOperations.h"

// The read test of the window: each read is shown, compared with the
// reference in the comparison box, and counted.
class CheckReadTest {
  public:
    explicit CheckReadTest(FormOperations& form) : form_(form) {}

    // A finished read; comparison is the "Comparison" check box as last saved.
    void CompleteCheckRead(const std::string& text, bool comparison);
    // "Count Again", and every closing of a connection.
    void OnCountAgain();
    // "Comparison" clicked: the counts start again, the reference stays.
    void OnComparison();

    int TotalCount() const { return totalCount_; }
    int SuccessCount() const { return successCount_; }

  private:
    void ShowTotal();
    void ShowSuccesses();
    void ShowReference(const std::string& text);

    FormOperations& form_;
    int totalCount_ = 0;
    int successCount_ = 0;
    std::string reference_;  // the read shown in the comparison box, as it arrived
};
