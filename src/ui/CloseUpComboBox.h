#pragma once

#include <QComboBox>

// A drop-down list that reports when its popup closes, exactly once each
// time, however it closes: a choice, Escape, a click outside, or the window
// losing activation. The report is queued, so that a choice made in the
// popup is already the current selection when the close-up is handled.
//
// Its selection changes only by a choice made in it: a wheel turned over
// the list while it does not have the focus changes nothing.
class CloseUpComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit CloseUpComboBox(QWidget* parent = nullptr);

    void showPopup() override;
    void hidePopup() override;

  signals:
    void closedUp();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void ReportCloseUp();

    bool popupOpen_ = false;
};
