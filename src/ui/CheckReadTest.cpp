#include "ui/CheckReadTest.h"

#include "protocol/ControlIds.h"

void CheckReadTest::ShowTotal() {
    form_.SetText(ctl::TotalCounter, "Total Count :" + std::to_string(totalCount_));
}

void CheckReadTest::ShowSuccesses() {
    form_.SetText(ctl::SuccessCounter, "SuccessCount:" + std::to_string(successCount_));
}

void CheckReadTest::ShowReference(const std::string& text) {
    // The box shows the reference, but is not where it is kept: a text box
    // gives some characters back changed (a no-break space as a blank).
    reference_ = text;
    form_.SetText(ctl::ComparisonBox, text);
}

void CheckReadTest::CompleteCheckRead(const std::string& text, bool comparison) {
    ++totalCount_;
    form_.SetText(ctl::CheckReadDataBox, text);
    if (comparison) {
        if (!reference_.empty()) {
            if (reference_ == text) {
                ++successCount_;
            }
            ShowSuccesses();
        } else {
            // The first read becomes the reference and is not counted.
            ShowReference(text);
            totalCount_ = 0;
        }
    } else {
        ShowReference(text);
    }
    ShowTotal();
}

void CheckReadTest::OnCountAgain() {
    totalCount_ = 0;
    successCount_ = 0;
    ShowSuccesses();
    ShowTotal();
    ShowReference("");
    form_.SetText(ctl::CheckReadDataBox, "");
}

void CheckReadTest::OnComparison() {
    totalCount_ = 0;
    successCount_ = 0;
    ShowSuccesses();
    ShowTotal();
}
