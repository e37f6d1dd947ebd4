#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWheelEvent>

#include "WindowFixture.h"
#include "form/ControlIds.h"
#include "protocol/CommandSet.h"

namespace {

// The window with the reader on USB, as a technician meets it: keys, wheel
// turns and popups that reach the form without a choice being made.
class StrayInput : public WindowFixture {
  protected:
    void SetUp() override {
        reader = hidDevices.AddReader(65);
        WindowFixture::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // A wheel turn as the window system delivers it: spontaneous, so that
    // the application's focus-on-wheel handling runs too.
    void TurnWheel(QWidget* widget, int steps) {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QWheelEvent turn(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * steps),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&turn);
        QApplication::sendEvent(widget, &turn);
    }

    QComboBox* List(int id) { return qobject_cast<QComboBox*>(form().Widget(id)); }

    int reader = 0;
};

TEST_F(StrayInput, ArrowKeysNeitherMoveTheFocusNorCheckARadio) {
    form().EnableAllControls();
    // A radio of the Device Type group, one of another group, a check box.
    for (const int id : {ctl::CustomRadio, ctl::CheckE13bRadio, ctl::CheckAllDataReturnRadio}) {
        QWidget* button = form().Widget(id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), button) << id;
        const bool checked = form().IsChecked(id);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_Left}) {
            QTest::keyClick(button, key);
            EXPECT_EQ(QApplication::focusWidget(), button) << id << " key " << key;
            EXPECT_EQ(form().IsChecked(id), checked) << id << " key " << key;
        }
    }
    // The Device Type stayed CUSTOM: nothing ran the other types' handler.
    EXPECT_TRUE(form().IsChecked(ctl::CustomRadio));
    EXPECT_FALSE(form().IsChecked(ctl::MicrReaderRadio));
    EXPECT_TRUE(form().IsEnabled(ctl::SelfDefineCodeFrame));
}

TEST_F(StrayInput, AWheelTurnOverAListWithoutTheFocusChangesNothing) {
    QSignalSpy selections(&form(), &QtForm::selectionChanged);
    form().Focus(ctl::Exit);
    for (const int id : {ctl::CommandTypeList, ctl::ConnectModeList}) {
        ASSERT_TRUE(form().IsEnabled(id)) << id;
        const int before = form().SelectedIndex(id);
        TurnWheel(List(id), -1);
        TurnWheel(List(id), 1);
        TurnWheel(List(id), -1);
        EXPECT_EQ(form().SelectedIndex(id), before) << id;
        EXPECT_EQ(QApplication::focusWidget(), form().Widget(ctl::Exit)) << id;
    }
    QTest::qWait(250);  // a poll or two: nothing was queued to send
    EXPECT_EQ(selections.count(), 0);
    EXPECT_FALSE(readerStack.FramePending());
    EXPECT_EQ(window->CommandType(), kNoCommand);
    EXPECT_EQ(Status(), "Status: Find Tallisk!");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tallisk [USB_HID_Mode]"));
}

TEST_F(StrayInput, AReadStartingWithABlankLeavesNoButtonPressed) {
    auto* exit = qobject_cast<QAbstractButton*>(form().Widget(ctl::Exit));
    ASSERT_EQ(QApplication::focusWidget(), exit);  // as after start-up
    // Each key goes where the keyboard focus is when it is typed.
    for (const QChar c : QStringLiteral(" 0123456789ABCDEF")) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << c.toLatin1();
        QTest::keyClicks(focus, QString(c));
        EXPECT_FALSE(exit->isDown()) << c.toLatin1();
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(Becomes(ctl::ComparisonBox, " 0123456789ABCDEF"));  // the read, blank included
    EXPECT_FALSE(exit->isDown());
}

TEST_F(StrayInput, EveryWayAPopupClosesReportsOneCloseUp) {
    QSignalSpy closeUps(&form(), &QtForm::closedUp);
    QComboBox* list = List(ctl::ConnectModeList);
    const auto closesOnce = [&](const char* how, auto close) {
        closeUps.clear();
        list->showPopup();
        ASSERT_TRUE(list->view()->isVisible()) << how;
        close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return closeUps.count() >= 1; }, kWaitMs)) << how;
        QTest::qWait(20);
        EXPECT_EQ(closeUps.count(), 1) << how;
        EXPECT_FALSE(list->view()->isVisible()) << how;
    };
    closesOnce("a choice", [&] {
        QWidget* view = list->view()->viewport();
        const QRect item = list->view()->visualRect(list->model()->index(0, 0));
        QTest::mouseClick(view, Qt::LeftButton, {}, item.center());
    });
    closesOnce("Escape", [&] { QTest::keyClick(list->view(), Qt::Key_Escape); });
    closesOnce("the window system", [&] { list->view()->window()->close(); });
    QWidget other;
    closesOnce("another window activated", [&] {
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    });
}

TEST_F(StrayInput, AConnectModeListClosedByAnotherWindowReconnects) {
    hidDevices.Pull(reader);
    ASSERT_TRUE(StatusBecomes("Status: Tallisk Is Probably UnConnectend!"));
    List(ctl::ConnectModeList)->showPopup();
    QWidget other;
    other.show();
    other.activateWindow();
    // Closing the list reconnects, on the same mode too.
    EXPECT_TRUE(StatusBecomes("Status: Find No Device!"));
}

}  // namespace
