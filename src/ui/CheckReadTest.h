#pragma once

#include <string>

#include "form/FormOperations.h"
#include "protocol/ReadComparison.h"

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

    int TotalCount() const { return comparison_.Total(); }
    int SuccessCount() const { return comparison_.Successes(); }

  private:
    void ShowTotal();
    void ShowSuccesses();

    FormOperations& form_;
    // The box shows the reference, but is not where it is kept: a text box
    // gives some characters back changed (a no-break space as a blank).
    ReadComparison comparison_;
};
