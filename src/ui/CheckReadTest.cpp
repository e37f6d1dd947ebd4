#include "CheckReadTest.h"

#include "ControlIds.h"

void CheckReadTest::ShowTotal() {
    form_.SetText(ctl::TotalCounter, "Total Count :" + std::to_string(totalCount_));
}

void CheckReadTest::ShowSuccesses() {
    form_.SetText(ctl::SuccessCounter, "SuccessCount:" + std::to_string(successCount_));
}

void CheckReadTest::CompleteCheckRead(const std::string& text, bool comparison) {
    ++totalCount_;
    form_.SetText(ctl::CheckReadDataBox, text);
    if (comparison) {
        const std::string reference = form_.Text(ctl::ComparisonBox);
        if (!reference.empty()) {
            if (reference == text) {
                ++successCount_;
            }
            ShowSuccesses();
        } else {
            // The first read becomes the reference and is not counted.
            form_.SetText(ctl::ComparisonBox, text);
            totalCount_ = 0;
        }
    } else {
        form_.SetText(ctl::ComparisonBox, text);
    }
    ShowTotal();
}

void CheckReadTest::OnCountAgain() {
    totalCount_ = 0;
    successCount_ = 0;
    ShowSuccesses();
    ShowTotal();
    form_.SetText(ctl::ComparisonBox, "");
    form_.SetText(ctl::CheckReadDataBox, "");
}

void CheckReadTest::OnComparison() {
    totalCount_ = 0;
    successCount_ = 0;
    ShowSuccesses();
    ShowTotal();
}
