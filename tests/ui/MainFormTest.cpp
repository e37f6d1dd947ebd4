#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "WindowFixture.h"
#include "form/ControlIds.h"
#include "form/SettingsExchange.h"
#include "ui/CloseUpComboBox.h"
#include "ui/DialogUnits.h"

namespace {

bool HasKind(QWidget* w, ControlKind kind) {
    switch (kind) {
        case ControlKind::Frame:
            return qobject_cast<QGroupBox*>(w) != nullptr;
        case ControlKind::Label:
            return qobject_cast<QLabel*>(w) != nullptr;
        case ControlKind::Radio:
            return qobject_cast<QRadioButton*>(w) != nullptr;
        case ControlKind::CheckBox:
            return qobject_cast<QCheckBox*>(w) != nullptr;
        case ControlKind::DropList:
            return qobject_cast<CloseUpComboBox*>(w) != nullptr;
        case ControlKind::TextBox: {
            auto* box = qobject_cast<QPlainTextEdit*>(w);
            return box != nullptr && box->isReadOnly() &&
                   box->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
        }
        case ControlKind::Button:
            return qobject_cast<QPushButton*>(w) != nullptr;
    }
    return false;
}

QString ShownLabel(QWidget* w) {
    if (auto* box = qobject_cast<QGroupBox*>(w)) {
        return box->title();
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        return button->text();
    }
    return QString();
}

bool Inside(const DluRect& inner, const DluRect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

using MainForm = WindowFixture;

TEST_F(MainForm, EveryControlStandsWithItsKindLabelAndRectangle) {
    const DialogBaseUnits base = BaseUnitsOf(window->font());
    std::set<int> ids;
    for (const ControlSpec& control : MainFormControls()) {
        if (control.id == kNoId) {
            continue;
        }
        EXPECT_TRUE(ids.insert(control.id).second) << "duplicate id " << control.id;
        QWidget* w = form().Widget(control.id);
        ASSERT_NE(w, nullptr) << control.id;
        EXPECT_TRUE(HasKind(w, control.kind)) << control.id;
        const QRect expected = DluToPixels(control.rect, base);
        EXPECT_EQ(w->pos(), expected.topLeft()) << control.id;
        EXPECT_EQ(w->width(), expected.width()) << control.id;
        if (control.kind == ControlKind::DropList) {
            EXPECT_LT(w->height(), expected.height()) << control.id;  // closed box only
        } else {
            EXPECT_EQ(w->height(), expected.height()) << control.id;
        }
        if (control.kind != ControlKind::DropList && control.kind != ControlKind::TextBox &&
            control.id != ctl::StatusLine) {
            EXPECT_EQ(ShownLabel(w), QString::fromUtf8(control.label)) << control.id;
        }
    }
    EXPECT_EQ(ids.size(), 118u);
    EXPECT_EQ(qobject_cast<QRadioButton*>(form().Widget(ctl::CheckNoStxAtHeadRadio))->text(),
              QStringLiteral("No STX At Data Head "));
    EXPECT_EQ(qobject_cast<QCheckBox*>(form().Widget(ctl::MsrErrorCodeCheck))->text(),
              QStringLiteral("MSR  Data ERR   Code"));
    EXPECT_EQ(qobject_cast<QGroupBox*>(form().Widget(ctl::Msr1StandardsFrame))->alignment(),
              Qt::AlignHCenter);
    EXPECT_EQ(window->size(),
              QSize(DluToPixelsX(kFormWidthDlu, base), DluToPixelsY(kFormHeightDlu, base)));
}

// With the stand-in face the package depends on, the form has its home
// size: base units 6 x 12, as the form's own face gives at 9 pt.
TEST_F(MainForm, TheStandInFaceGivesTheFormItsHomeSize) {
    if (!QFontDatabase::families().contains(QStringLiteral("AR PL SungtiL GB"))) {
        GTEST_SKIP() << "needs fonts-arphic-gbsn00lp";
    }
    const DialogBaseUnits base = BaseUnitsOf(FormFont());
    EXPECT_EQ(base.x, 6);
    EXPECT_EQ(base.y, 12);
    EXPECT_EQ(window->size(), QSize(618, 668));
}

TEST_F(MainForm, ControlSetsMatchTheForm) {
    const std::span<const int> all = AllSettingsControlIds();
    EXPECT_EQ(all.size(), 113u);
    const std::set<int> settings(all.begin(), all.end());
    for (const ControlSpec& control : MainFormControls()) {
        const bool outside = control.id == kNoId || control.id == ctl::Exit ||
                             (control.id >= ctl::CommandTypeList && control.id <= ctl::StatusLine);
        EXPECT_EQ(settings.count(control.id) == 1, !outside) << control.id;
    }
    const DluRect testFrame = FindControl(ctl::CheckReadTestFrame)->rect;
    for (int id : TestControlIds()) {
        EXPECT_TRUE(Inside(FindControl(id)->rect, testFrame)) << id;
    }
    const DluRect deviceFrame = FindControl(ctl::DeviceTypeFrame)->rect;
    for (int id : DeviceTypeGroupIds()) {
        EXPECT_TRUE(Inside(FindControl(id)->rect, deviceFrame)) << id;
    }
}

TEST_F(MainForm, StartsAsAfterStartUp) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tallisk [USB_HID_Mode]"));
    EXPECT_EQ(form().Text(ctl::StatusLine), "Status: Find No Device!");
    for (int id : {ctl::Exit, ctl::DeviceNameList, ctl::ConnectModeList}) {
        EXPECT_TRUE(form().IsEnabled(id)) << id;
    }
    EXPECT_FALSE(form().IsEnabled(ctl::CommandTypeList));
    const std::span<const int> tests = TestControlIds();
    for (int id : AllSettingsControlIds()) {
        const bool isTest = std::find(tests.begin(), tests.end(), id) != tests.end();
        EXPECT_EQ(form().IsEnabled(id), isTest) << id;
    }
    for (const ControlSpec& control : MainFormControls()) {
        if (control.kind == ControlKind::Radio || control.kind == ControlKind::CheckBox) {
            EXPECT_EQ(form().IsChecked(control.id),
                      control.id == ctl::CustomRadio || control.id == ctl::ComparisonCheck)
                << control.id;
        }
    }
    EXPECT_EQ(form().Text(ctl::SuccessCounter), "SuccessCount:0");
    EXPECT_EQ(form().Text(ctl::TotalCounter), "Total Count :0");
    EXPECT_EQ(form().Text(ctl::ComparisonBox), "");
    EXPECT_EQ(form().Text(ctl::CheckReadDataBox), "");
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(QApplication::focusWidget(), form().Widget(ctl::Exit));
}

TEST_F(MainForm, ListsHoldTheirEntries) {
    EXPECT_EQ(form().ListCount(ctl::DeviceNameList), 1);
    EXPECT_EQ(form().ListEntry(ctl::DeviceNameList, 0), QStringLiteral("Tallisk"));
    EXPECT_EQ(form().SelectedIndex(ctl::DeviceNameList), 0);
    EXPECT_EQ(form().ListCount(ctl::ConnectModeList), 2);
    EXPECT_EQ(form().ListEntry(ctl::ConnectModeList, 1), QStringLiteral("Serial_9600_8_1"));
    EXPECT_EQ(form().SelectedIndex(ctl::ConnectModeList), 0);
    EXPECT_EQ(form().ListCount(ctl::CommandTypeList), 9);
    EXPECT_EQ(form().ListEntry(ctl::CommandTypeList, 7), QStringLiteral("MSR_Code_Type_setup"));
    EXPECT_EQ(form().SelectedIndex(ctl::CommandTypeList), -1);

    const struct {
        int index;
        const char* entry;
    } entries[] = {{0, "0x01 SOH"}, {0x1F, "0x20 SP "}, {0x5B, "0x5c \\  "}, {126, "0x7f ?  "}};
    for (const CodeBinding& code : kCodeBindings) {
        EXPECT_EQ(form().ListCount(code.listId), 127) << code.listId;
        EXPECT_EQ(form().SelectedIndex(code.listId), -1) << code.listId;
        for (const auto& e : entries) {
            EXPECT_EQ(form().ListEntry(code.listId, e.index), QString::fromLatin1(e.entry));
        }
    }
}

TEST_F(MainForm, SearchOutcomeDecidesStatusAndCommandList) {
    const struct {
        const char* what;
        std::function<void(SimulatedHidPlatform&)> devices;
        const char* status;
        bool commandListEnabled;
    } cases[] = {
        {"the reader", [](SimulatedHidPlatform& d) { d.AddReader(); }, "Status: Find Tallisk!",
         true},
        {"the reader without access",
         [](SimulatedHidPlatform& d) { d.At(d.AddReader()).openable = false; },
         "Status: Find Tallisk, Access Denied!", true},
        {"other devices only",
         [](SimulatedHidPlatform& d) {
             d.AddDevice(0x046D, 0xC077, 0x7200, "Mouse");
             d.AddReader(65, 0x0002);
         },
         "Status: Not Find Tallisk!\r\n", false},
        {"no device", [](SimulatedHidPlatform&) {}, "Status: Find No Device!", false},
    };
    for (const auto& c : cases) {
        auto devices = std::make_unique<SimulatedHidPlatform>();
        c.devices(*devices);
        auto watch = std::make_unique<SimulatedDeviceWatch>(*devices);
        ProgramObjects objects(std::move(devices), std::move(watch));
        const std::unique_ptr<MainWindow> w = objects.MakeWindow();
        w->Initialise();
        EXPECT_EQ(w->Form().Text(ctl::StatusLine), c.status) << c.what;
        EXPECT_EQ(w->Form().IsEnabled(ctl::CommandTypeList), c.commandListEnabled) << c.what;
        EXPECT_TRUE(w->Form().IsEnabled(ctl::ComparisonBox));
    }
}

TEST_F(MainForm, RadiosKeepOneCheckedPerGroupAndLoadCanClearAGroup) {
    form().EnableAllControls();
    QTest::mouseClick(form().Widget(ctl::Msr1IbmfRadio), Qt::LeftButton);
    QTest::mouseClick(form().Widget(ctl::Msr1BcRadio), Qt::LeftButton);
    QTest::mouseClick(form().Widget(ctl::Msr2IsoRadio), Qt::LeftButton);  // another group
    QTest::mouseClick(form().Widget(ctl::Msr1BcRadio), Qt::LeftButton);   // clicking again keeps it
    EXPECT_FALSE(form().IsChecked(ctl::Msr1IbmfRadio));
    EXPECT_TRUE(form().IsChecked(ctl::Msr1BcRadio));
    EXPECT_TRUE(form().IsChecked(ctl::Msr2IsoRadio));

    SettingsExchange settings(form());
    WindowRecord record;
    settings.Save(record);
    EXPECT_EQ(record.configuration.settings.msr1Standard, 3);
    EXPECT_EQ(record.configuration.settings.msr2Standard, 0);
    record.configuration.settings.msr1Standard = -1;
    record.configuration.settings.msr2Standard = 6;
    settings.Load(record);
    for (int id = ctl::Msr1IsoRadio; id <= ctl::Msr2DinRadio; ++id) {
        EXPECT_FALSE(form().IsChecked(id)) << id;
    }
}

TEST_F(MainForm, ListsReportUserChoicesAndCloseUps) {
    QSignalSpy selections(&form(), &QtForm::selectionChanged);
    QSignalSpy closeUps(&form(), &QtForm::closedUp);
    form().SelectIndex(ctl::ConnectModeList, 1);  // from code: no event
    EXPECT_EQ(selections.count(), 0);

    auto* list = qobject_cast<QComboBox*>(form().Widget(ctl::ConnectModeList));
    list->showPopup();
    list->hidePopup();
    EXPECT_TRUE(QTest::qWaitFor([&] { return closeUps.count() == 1; }, 1000));
    EXPECT_EQ(closeUps.at(0).at(0).toInt(), ctl::ConnectModeList);

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);  // the user moves the selection
    EXPECT_EQ(selections.count(), 1);
    EXPECT_EQ(form().SelectedIndex(ctl::ConnectModeList), 0);
}

// What the form reports while f runs and until the events it queued have
// been handled: "selection" and "close-up", with the list's id.
template <typename F>
std::vector<std::pair<std::string, int>> Reports(QtForm& form, F f) {
    std::vector<std::pair<std::string, int>> reports;
    QObject context;
    QObject::connect(&form, &QtForm::selectionChanged, &context,
                     [&reports](int id) { reports.emplace_back("selection", id); });
    QObject::connect(&form, &QtForm::closedUp, &context,
                     [&reports](int id) { reports.emplace_back("close-up", id); });
    f();
    if (!reports.empty()) {
        const bool closed =
            QTest::qWaitFor([&] { return reports.back().first == "close-up"; }, 1000);
        EXPECT_TRUE(closed);
    }
    QTest::qWait(20);  // anything later
    return reports;
}

TEST_F(MainForm, ChoosingAnEntryReportsWhatAPickInThePopupReports) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const int id = ctl::MicrSeparator1List;  // its choices and close-ups move no data
    form().Enable(id, true);
    auto* list = qobject_cast<QComboBox*>(form().Widget(id));
    const struct {
        const char* what;
        int before;
        int chosen;
    } cases[] = {{"another entry", 0, 3}, {"the entry already selected", 2, 2}};
    const std::vector<std::pair<std::string, int>> expected = {{"selection", id}, {"close-up", id}};
    for (const auto& c : cases) {
        form().SelectIndex(id, c.before);
        const auto picked = Reports(form(), [&] {
            list->showPopup();
            QWidget* popup = list->view();
            for (int i = c.before; i < c.chosen; ++i) {
                QTest::keyClick(popup, Qt::Key_Down);
            }
            QTest::keyClick(popup, Qt::Key_Return);
        });
        EXPECT_EQ(picked, expected) << c.what;
        EXPECT_EQ(form().SelectedIndex(id), c.chosen) << c.what;
        EXPECT_FALSE(list->view()->isVisible()) << c.what;

        form().SelectIndex(id, c.before);
        const auto chosen = Reports(form(), [&] { EXPECT_TRUE(form().Choose(id, c.chosen)); });
        EXPECT_EQ(chosen, picked) << c.what;
        EXPECT_EQ(form().SelectedIndex(id), c.chosen) << c.what;
    }

    // Nothing is chosen in a disabled list or beyond a list's entries.
    const struct {
        const char* what;
        int list;
        int index;
    } refused[] = {{"a disabled list", ctl::MicrSeparator2List, 0},
                   {"no such entry", id, 127},
                   {"no entry", id, -1},
                   {"not a list", ctl::SendCmd, 0}};
    form().SelectIndex(id, 1);
    for (const auto& r : refused) {
        const auto reports = Reports(form(), [&] { EXPECT_FALSE(form().Choose(r.list, r.index)); });
        EXPECT_TRUE(reports.empty()) << r.what;
    }
    EXPECT_EQ(form().SelectedIndex(id), 1);
    EXPECT_EQ(form().SelectedIndex(ctl::MicrSeparator2List), -1);
}

TEST_F(MainForm, ClosingAListMovesTheFocusToTheComparisonBox) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    std::vector<int> lists = {ctl::CommandTypeList};
    for (const CodeBinding& code : kCodeBindings) {
        lists.push_back(code.listId);
    }
    QSignalSpy closeUps(&form(), &QtForm::closedUp);
    for (int id : lists) {
        form().Enable(id, true);  // only an enabled list opens
        form().Focus(ctl::Exit);
        closeUps.clear();
        auto* list = qobject_cast<QComboBox*>(form().Widget(id));
        list->showPopup();
        QTest::keyClick(list->view(), Qt::Key_Escape);  // closed without a choice
        ASSERT_TRUE(QTest::qWaitFor([&] { return closeUps.count() == 1; }, 1000)) << id;
        // Back from the popup: the window's own focus becomes the keyboard's.
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window.get(); }))
            << id;
        const bool stays = id == ctl::MsrErrorCodeList || id == ctl::MicrErrorCodeList;
        EXPECT_EQ(QApplication::focusWidget(),
                  form().Widget(stays ? ctl::Exit : ctl::ComparisonBox))
            << id;
    }
}

TEST_F(MainForm, KeysDoNotPressButtonsOrCloseTheWindow) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QSignalSpy clicks(&form(), &QtForm::clicked);
    form().Focus(ctl::Exit);
    QTest::keyClick(form().Widget(ctl::Exit), Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Enter);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(form().Widget(ctl::Exit), Qt::Key_Tab);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_TRUE(window->isVisible());
    // Typed characters take the focus to the comparison box, never along
    // the controls.
    EXPECT_EQ(QApplication::focusWidget(), form().Widget(ctl::ComparisonBox));
}

TEST_F(MainForm, ScreenshotOfTheMainWindow) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    SaveScreenshot(*window, QStringLiteral("main-window.png"));
    auto* list = qobject_cast<QComboBox*>(form().Widget(ctl::MicrSeparator1List));
    form().EnableAllControls();
    list->showPopup();
    QTest::qWait(50);
    QWidget* popup = list->view()->window();
    EXPECT_GE(list->maxVisibleItems(), 5);
    SaveScreenshot(*popup, QStringLiteral("code-list-popup.png"));
    list->hidePopup();
}

}  // namespace
