#pragma once

#include <QObject>
#include <functional>
#include <string>

class QWidget;

// Sees every key press with text that reaches the window or one of its
// controls, once, before the control handles it, and passes it on: a USB
// reader types its reads into the window. A key is held back only from a
// control that lost the focus while the key was being read.
class KeyCapture : public QObject {
    Q_OBJECT
  public:
    KeyCapture(QWidget* window, std::function<void(const std::string&)> onCharacter);
    ~KeyCapture() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    std::function<void(const std::string&)> onCharacter_;
};
