#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <string>

#include "WindowFixture.h"
#include "form/AccessibleNames.h"
#include "form/ControlIds.h"

namespace {

QAccessibleInterface* AccessibleOf(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

TEST(AccessibleNames, ComeFromTheTextOrTheLabelBesideOrTheFrame) {
    constexpr auto Frame = ControlKind::Frame;
    constexpr auto Label = ControlKind::Label;
    constexpr auto Check = ControlKind::CheckBox;
    constexpr auto List = ControlKind::DropList;
    constexpr auto Text = ControlKind::TextBox;
    constexpr auto Button = ControlKind::Button;
    // clang-format off
    const ControlSpec form[] = {
        {1, Button, "&Send",       {0, 0, 40, 14}, false, false},
        {2, Button, "Save && &Go", {50, 0, 40, 14}, false, false},
        {kNoId, Frame, "Codes",    {0, 20, 200, 100}, false, false},
        {kNoId, Label, "Far",      {4, 30, 30, 10}, false, false},
        {3, Check, "Near",         {40, 30, 30, 10}, false, false},
        {4, List, "",              {80, 28, 40, 90}, false, false},
        {5, List, "",              {80, 42, 40, 90}, false, false},  // the label above is off its row
        {6, Label, "Right",        {130, 60, 30, 10}, false, false},
        {7, Text, "",              {80, 58, 40, 20}, false, false},  // the label is right of it
        {8, List, "",              {300, 0, 40, 90}, false, false},  // no label, no frame
    };
    // clang-format on
    const struct {
        int index;
        const char* name;
    } cases[] = {
        {0, "Send"},  {1, "Save & Go"}, {4, "Near"},  {5, "Near"},
        {6, "Codes"}, {7, "Right"},     {8, "Codes"}, {9, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AccessibleNameOf(form, form[c.index]), c.name) << "row " << c.index;
    }
}

using Accessibility = WindowFixture;

TEST_F(Accessibility, ListsAndTextBoxesAreNamedByTheirLabels) {
    // A label names its control also as the labelled-by relation; a check
    // box cannot.
    const struct {
        int id;
        const char* name;
        bool byLabel;
    } named[] = {
        {ctl::DeviceNameList, "Device Name", true},
        {ctl::ConnectModeList, "Connect Mode", true},
        {ctl::CommandTypeList, "Command Type", true},
        {ctl::Msr1StartCodeList, "MSR1 Data Start Code", false},
        {ctl::Msr1EndCodeList, "MSR1 Data End   Code", false},
        {ctl::Msr2StartCodeList, "MSR2 Data Start Code", false},
        {ctl::Msr2EndCodeList, "MSR2 Data End   Code", false},
        {ctl::Msr3StartCodeList, "MSR3 Data Start Code", false},
        {ctl::Msr3EndCodeList, "MSR3 Data End   Code", false},
        {ctl::MsrErrorCodeList, "MSR  Data ERR   Code", false},
        {ctl::MicrSeparator1List, "MICR Separate Code S1", false},
        {ctl::MicrSeparator2List, "MICR Separate Code S2", false},
        {ctl::MicrSeparator3List, "MICR Separate Code S3", false},
        {ctl::MicrSeparator4List, "MICR Separate Code S4", false},
        {ctl::MicrSeparator5List, "MICR Separate Code S5", false},
        {ctl::MicrErrorCodeList, "MICR  Data ERR Code", true},
        {ctl::ComparisonBox, "Comparison", false},
        {ctl::CheckReadDataBox, "CheckReadData", true},
    };
    int withoutText = 0;
    for (const ControlSpec& control : MainFormControls()) {
        withoutText += control.id != kNoId && control.label[0] == '\0' ? 1 : 0;
    }
    EXPECT_EQ(withoutText, static_cast<int>(std::size(named)));
    for (const auto& n : named) {
        QAccessibleInterface* iface = AccessibleOf(form().Widget(n.id));
        ASSERT_NE(iface, nullptr) << n.id;
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(n.name)) << n.id;
        const auto labels = iface->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), n.byLabel ? 1 : 0) << n.id;
        if (n.byLabel) {
            EXPECT_EQ(labels[0].first->text(QAccessible::Name), QString::fromUtf8(n.name));
        }
    }
}

TEST_F(Accessibility, EveryNumberedControlHasTheNameTheTableGivesIt) {
    for (const ControlSpec& control : MainFormControls()) {
        if (control.id == kNoId) {
            continue;
        }
        QAccessibleInterface* iface = AccessibleOf(form().Widget(control.id));
        ASSERT_NE(iface, nullptr) << control.id;
        const QString name = iface->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << control.id;
        // The status line is named by what it says now.
        const std::string expected = control.id == ctl::StatusLine
                                         ? form().Text(ctl::StatusLine)
                                         : AccessibleNameOf(MainFormControls(), control);
        EXPECT_EQ(name.toStdString(), expected) << control.id;
    }
}

TEST_F(Accessibility, AListKeepsItsNameAndReportsItsEntryAsValueAndText) {
    QAccessibleInterface* list = AccessibleOf(form().Widget(ctl::ConnectModeList));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::ComboBox);
    ChooseConnectMode(1);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Connect Mode"));
    EXPECT_EQ(list->text(QAccessible::Value), QStringLiteral("Serial_9600_8_1"));
    ASSERT_NE(list->textInterface(), nullptr);
    EXPECT_EQ(list->textInterface()->text(0, list->textInterface()->characterCount()),
              QStringLiteral("Serial_9600_8_1"));
    EXPECT_EQ(list->childCount(), 1);
    const QObject* view = qobject_cast<QComboBox*>(list->object())->view();
    EXPECT_EQ(list->child(0)->object(), view);
    EXPECT_TRUE(list->state().collapsed);
}

TEST_F(Accessibility, TheStatusLineIsANotificationNamedByItsText) {
    QAccessibleInterface* line = AccessibleOf(form().Widget(ctl::StatusLine));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->role(), QAccessible::Notification);
    form().SetText(ctl::StatusLine, "Status: Send Data Fail!");
    EXPECT_EQ(line->text(QAccessible::Name), QStringLiteral("Status: Send Data Fail!"));
    // Counters are plain labels whose name follows their text.
    form().SetText(ctl::SuccessCounter, "SuccessCount:3");
    QAccessibleInterface* counter = AccessibleOf(form().Widget(ctl::SuccessCounter));
    EXPECT_EQ(counter->role(), QAccessible::StaticText);
    EXPECT_EQ(counter->text(QAccessible::Name), QStringLiteral("SuccessCount:3"));
}

}  // namespace
