#include "ui/ReadDataView.h"

#include "form/ControlIds.h"
#include "ui/QtForm.h"

ReadDataView::ReadDataView(QtForm& form) : form_(form) {
    update_.setSingleShot(true);
    QObject::connect(&update_, &QTimer::timeout, [this] { ShowPending(); });
}

void ReadDataView::Show(const std::string& text) {
    pending_ = &text;
    if (!update_.isActive()) {
        update_.start(kUpdateMs);
    }
}

void ReadDataView::ShowPending() {
    if (pending_ == nullptr) {
        return;
    }
    const std::string& text = *pending_;
    if (text.size() <= kShownWhileReading) {
        form_.SetText(ctl::CheckReadDataBox, text);
        shownCut_ = false;
    } else if (!shownCut_) {
        form_.SetText(ctl::CheckReadDataBox, text.substr(0, kShownWhileReading));
        shownCut_ = true;
    }
}
