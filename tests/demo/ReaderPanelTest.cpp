#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>
#include <string>

#include "PtyReaderLink.h"
#include "SimulatedDeviceWatch.h"
#include "SimulatedHidPlatform.h"
#include "app/UtilityApp.h"
#include "demo/ReaderPanel.h"
#include "form/ControlIds.h"
#include "ui/MainWindow.h"

namespace {

constexpr int kWaitMs = 5000;

// Clicks the panel's button or check box that shows this text, as the
// mouse does: through the panel's window, where a modal window may block
// the click. (QTest's clicks on a widget skip that path.)
bool ClickOnPanel(ReaderPanel& panel, const QString& text) {
    for (QAbstractButton* button : panel.findChildren<QAbstractButton*>()) {
        if (button->text() != text) {
            continue;
        }
        // A check box answers on its box and label only, at its left end.
        const QPoint inside = qobject_cast<QCheckBox*>(button) != nullptr
                                  ? QPoint(button->height() / 2, button->height() / 2)
                                  : button->rect().center();
        QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, button->mapTo(&panel, inside));
        return true;
    }
    return false;
}

// The demo as a user starts it: the utility on the simulated USB reader,
// run modally, with the "Simulated reader" window beside it.
class ReaderPanelInTheModalRun : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(serialReader.Start()); }
    void TearDown() override { serialReader.Stop(); }

    // Runs the utility's window modally; `work` runs inside that run, and
    // the window is closed after it.
    void RunWithPanel(const std::function<void(MainWindow&, ReaderPanel&)>& work) {
        auto usbDevices = std::make_unique<SimulatedHidPlatform>();
        SimulatedHidPlatform& devices = *usbDevices;
        reader = devices.AddReader();
        devices.AddDevice(0x046D, 0xC077, 0x7200, "Optical Mouse");
        UtilityApp utility(std::move(usbDevices), std::make_unique<SimulatedDeviceWatch>(devices));
        hid = &devices;
        utility.onWindowReady = [&](MainWindow& window) {
            panel = &ReaderPanel::Open(window, devices, reader, serialReader);
            QTimer::singleShot(0, &window, [&work, &window, this] {
                ranModally = QApplication::activeModalWidget() == &window;
                work(window, *panel);
                window.reject();
            });
        };
        utility.Run();
        hid = nullptr;
    }

    PtyReaderLink serialReader;
    SimulatedHidPlatform* hid = nullptr;
    int reader = 0;
    QPointer<ReaderPanel> panel;
    bool ranModally = false;
};

TEST_F(ReaderPanelInTheModalRun, AnswersTheMouseWhileTheUtilityRunsModally) {
    RunWithPanel([this](MainWindow& window, ReaderPanel& readerPanel) {
        QtForm& form = window.Form();
        auto status = [&form](const char* text) { return form.Text(ctl::StatusLine) == text; };
        auto readShows = [&form](const char* text) {
            return form.Text(ctl::CheckReadDataBox).find(text) != std::string::npos;
        };
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&readerPanel));
        ASSERT_TRUE(QTest::qWaitFor([&] { return status("Status: Find Tallisk!"); }, kWaitMs));

        const struct {
            const char* control;
            std::function<bool()> outcome;
        } clicks[] = {
            // Reads are typed by the reader into the utility's focused box.
            {"Read the cheque", [&] { return readShows("A021000021A123456789B0104C0000012500C"); }},
            {"Swipe a card", [&] { return readShows(";4111111111111111=29121010000000000?"); }},
            {"Silent", [this] { return hid->Reader(reader).faults.silent; }},
            {"Refuse commands", [this] { return hid->Reader(reader).faults.refuse; }},
            {"Pull the USB cable",
             [&] { return status("Status: Tallisk Is Probably UnConnectend!"); }},
            {"Plug the USB cable in", [&] { return status("Status: Tallisk Is Connected!"); }},
        };
        for (const auto& click : clicks) {
            SCOPED_TRACE(click.control);
            ASSERT_TRUE(ClickOnPanel(readerPanel, QString::fromUtf8(click.control)));
            EXPECT_TRUE(QTest::qWaitFor(click.outcome, kWaitMs))
                << "read data \"" << form.Text(ctl::CheckReadDataBox) << "\", status \""
                << form.Text(ctl::StatusLine) << "\"";
        }
    });
    EXPECT_TRUE(ranModally);
    EXPECT_TRUE(panel.isNull());  // closed with the utility's window
}

}  // namespace
