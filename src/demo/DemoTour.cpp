#include "demo/DemoTour.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

#include "demo/ReaderPanel.h"
#include "form/ControlIds.h"
#include "ui/MainWindow.h"

namespace {

constexpr int kTickMs = 50;
constexpr int kSettleMs = 300;  // let a step's outcome be painted
constexpr int kTourLimitMs = 30000;
constexpr int kDeviceTypeSetup = 2;

}  // namespace

DemoTour::DemoTour(MainWindow& window, ReaderPanel& panel, const QString& directory)
    : QObject(&window), window_(window), panel_(panel), directory_(directory) {
    directory_.mkpath(QStringLiteral("."));
    QtForm& form = window_.Form();
    auto settled = [this] { return sinceStep_.elapsed() >= kSettleMs && !panel_.Typing(); };
    auto total = [&form](const char* text) { return form.Text(ctl::TotalCounter) == text; };
    steps_ = {
        {"start-up", [this, settled] { return settled() && Status() != "Status: "; },
         [this, &form] {
             Shoot(window_, QStringLiteral("1-connected.png"));
             form.SelectIndex(ctl::CommandTypeList, kDeviceTypeSetup);
             emit form.selectionChanged(ctl::CommandTypeList);
         }},
        {"configuration read",
         [this, settled] {
             return settled() &&
                    Status() == "Status: Read Device Config Ok,Please Preserve After Change!";
         },
         [this, &form] {
             Shoot(window_, QStringLiteral("2-configuration-read.png"));
             emit form.clicked(ctl::SendCmd);
         }},
        {"configuration sent",
         [this, settled] { return settled() && Status() == "Status: Device Tpye Setup Ok!"; },
         [this] {
             Shoot(window_, QStringLiteral("3-configuration-sent.png"));
             panel_.ReadCheque();
         }},
        {"first cheque",
         [&form, settled] { return settled() && !form.Text(ctl::ComparisonBox).empty(); },
         [this] { panel_.ReadCheque(); }},
        {"second cheque", [settled, total] { return settled() && total("Total Count :1"); },
         [this] { panel_.ReadCheque(); }},
        {"third cheque", [settled, total] { return settled() && total("Total Count :2"); },
         [this] {
             Shoot(window_, QStringLiteral("4-cheque-reads.png"));
             Shoot(panel_, QStringLiteral("reader-panel.png"));
             if (QScreen* screen = QGuiApplication::primaryScreen()) {
                 const QString path = directory_.filePath(QStringLiteral("screen.png"));
                 screen->grabWindow(0).save(path);
                 std::printf("%s\n", qPrintable(path));
             }
             window_.reject();
         }},
    };
    connect(&timer_, &QTimer::timeout, this, &DemoTour::Tick);
    timer_.start(kTickMs);
    sinceStart_.start();
    sinceStep_.start();
}

std::string DemoTour::Status() const {
    return window_.Form().Text(ctl::StatusLine);
}

void DemoTour::Shoot(QWidget& widget, const QString& name) {
    const QString path = directory_.filePath(name);
    widget.grab().save(path);
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
}

void DemoTour::Tick() {
    if (next_ >= steps_.size()) {
        timer_.stop();
        return;
    }
    if (sinceStart_.elapsed() > kTourLimitMs) {
        std::fprintf(stderr, "tallisk-demo: the tour stopped at \"%s\"; the status reads \"%s\"\n",
                     steps_[next_].what, Status().c_str());
        timer_.stop();
        window_.done(1);
        return;
    }
    if (steps_[next_].ready()) {
        const Step& step = steps_[next_++];
        step.act();
        sinceStep_.restart();
    }
}
