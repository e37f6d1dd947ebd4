#pragma once

#include <QComboBox>

// A drop-down list that reports when its popup closes. The report is queued,
// so that a choice made in the popup is already the current selection when
// the close-up is handled.
class CloseUpComboBox : public QComboBox {
    Q_OBJECT
  public:
    using QComboBox::QComboBox;

    void hidePopup() override;

  signals:
    void closedUp();
};
