#pragma once

#include <QDialog>

// The About box: the icon, the product name and its version, and OK.
class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* parent = nullptr);
};
