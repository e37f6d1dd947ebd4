#include "ui/CheckReadTest.h"

#include "form/ControlIds.h"

void CheckReadTest::ShowTotal() {
    form_.SetText(ctl::TotalCounter, "Total Count :" + std::to_string(comparison_.Total()));
}

void CheckReadTest::ShowSuccesses() {
    form_.SetText(ctl::SuccessCounter, "SuccessCount:" + std::to_string(comparison_.Successes()));
}

void CheckReadTest::CompleteCheckRead(const std::string& text, bool comparison) {
    const ReadComparison::Verdict verdict = comparison_.Add(text, comparison);
    form_.SetText(ctl::CheckReadDataBox, text);
    if (verdict == ReadComparison::Verdict::Reference) {
        form_.SetText(ctl::ComparisonBox, text);
    } else {
        ShowSuccesses();
    }
    ShowTotal();
}

void CheckReadTest::OnCountAgain() {
    comparison_.Forget();
    ShowSuccesses();
    ShowTotal();
    form_.SetText(ctl::ComparisonBox, "");
    form_.SetText(ctl::CheckReadDataBox, "");
}

void CheckReadTest::OnComparison() {
    comparison_.Restart();
    ShowSuccesses();
    ShowTotal();
}
