#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

class MainWindow;
class ReaderPanel;

// A short scripted tour of the utility with the simulated reader, for a
// machine without a display: connect, read the configuration back, send it,
// read a cheque three times; a screenshot after each step.
class DemoTour : public QObject {
  public:
    DemoTour(MainWindow& window, ReaderPanel& panel, const QString& directory);

  private:
    struct Step {
        const char* what;
        std::function<bool()> ready;  // the step waits for this
        std::function<void()> act;
    };
    void Tick();
    void Shoot(QWidget& widget, const QString& name);
    std::string Status() const;

    MainWindow& window_;
    ReaderPanel& panel_;
    QDir directory_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    QTimer timer_;
    QElapsedTimer sinceStart_;
    QElapsedTimer sinceStep_;
};
