#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "form/CommandPanels.h"
#include "form/ControlIds.h"
#include "form/ControlTable.h"

namespace {

std::vector<int> Ids(std::span<const int> ids) {
    return {ids.begin(), ids.end()};
}

constexpr auto Frame = ControlKind::Frame;
constexpr auto Label = ControlKind::Label;
constexpr auto Radio = ControlKind::Radio;
constexpr auto CheckBox = ControlKind::CheckBox;
constexpr auto DropList = ControlKind::DropList;
constexpr auto TextBox = ControlKind::TextBox;
constexpr auto Button = ControlKind::Button;

TEST(ControlIds, EveryNameIsTheFormsOwnNumberForAControlOfItsKind) {
    // The numbers are the form's: a name stands for exactly this control.
    const struct {
        int named;
        int number;
        ControlKind kind;
    } names[] = {
        {ctl::DeviceNameList, 1002, DropList},
        {ctl::ConnectModeList, 1003, DropList},
        {ctl::CommandTypeList, 1001, DropList},
        {ctl::DeviceTypeFrame, 1006, Frame},
        {ctl::CustomRadio, 1007, Radio},
        {ctl::MicrReaderRadio, 1008, Radio},
        {ctl::KelvraRadio, 1009, Radio},
        {ctl::DorrinRadio, 1010, Radio},
        {ctl::WexleyRadio, 1011, Radio},
        {ctl::LomardRadio, 1012, Radio},
        {ctl::FennicRadio, 1013, Radio},
        {ctl::ZorvaneRadio, 1014, Radio},
        {ctl::CheckCodeFrame, 1069, Frame},
        {ctl::CheckE13bRadio, 1018, Radio},
        {ctl::CheckCmc7Radio, 1019, Radio},
        {ctl::Msr1CodeFrame, 1072, Frame},
        {ctl::Msr1Aba1Radio, 1027, Radio},
        {ctl::Msr1Aba2Radio, 1046, Radio},
        {ctl::Msr1IataRadio, 1047, Radio},
        {ctl::Msr2CodeFrame, 1016, Frame},
        {ctl::Msr2Aba1Radio, 1048, Radio},
        {ctl::Msr2Aba2Radio, 1049, Radio},
        {ctl::Msr2IataRadio, 1050, Radio},
        {ctl::Msr3CodeFrame, 1017, Frame},
        {ctl::Msr3Aba1Radio, 1051, Radio},
        {ctl::Msr3Aba2Radio, 1052, Radio},
        {ctl::Msr3IataRadio, 1053, Radio},
        {ctl::MsrReadLimitFrame, 1073, Frame},
        {ctl::Track1LimitCheck, 1034, CheckBox},
        {ctl::Track2LimitCheck, 1054, CheckBox},
        {ctl::Track3LimitCheck, 1055, CheckBox},
        {ctl::Msr1StandardsFrame, 1084, Frame},
        {ctl::Msr1IsoRadio, 1021, Radio},
        {ctl::Msr1IbmfRadio, 1022, Radio},
        {ctl::Msr1IbmcRadio, 1023, Radio},
        {ctl::Msr1BcRadio, 1024, Radio},
        {ctl::Msr1BfcRadio, 1025, Radio},
        {ctl::Msr1DinRadio, 1026, Radio},
        {ctl::Msr2StandardsFrame, 1085, Frame},
        {ctl::Msr2IsoRadio, 1028, Radio},
        {ctl::Msr2IbmfRadio, 1029, Radio},
        {ctl::Msr2IbmcRadio, 1030, Radio},
        {ctl::Msr2BcRadio, 1031, Radio},
        {ctl::Msr2BfcRadio, 1032, Radio},
        {ctl::Msr2DinRadio, 1033, Radio},
        {ctl::Msr3StandardsFrame, 1086, Frame},
        {ctl::Msr3IsoRadio, 1040, Radio},
        {ctl::Msr3IbmfRadio, 1041, Radio},
        {ctl::Msr3IbmcRadio, 1042, Radio},
        {ctl::Msr3BcRadio, 1043, Radio},
        {ctl::Msr3BfcRadio, 1044, Radio},
        {ctl::Msr3DinRadio, 1045, Radio},
        {ctl::CheckDataFormatFrame, 1087, Frame},
        {ctl::CheckNotReturnWhenErrRadio, 1035, Radio},
        {ctl::CheckAllDataReturnRadio, 1036, Radio},
        {ctl::CheckNoSpaceHandleRadio, 1056, Radio},
        {ctl::CheckWithSpaceHandleRadio, 1057, Radio},
        {ctl::CheckNoStxAtHeadRadio, 1058, Radio},
        {ctl::CheckStxAtHeadRadio, 1059, Radio},
        {ctl::CheckNoEscAtHeadRadio, 1060, Radio},
        {ctl::CheckEscAtHeadRadio, 1061, Radio},
        {ctl::CheckNoEtxAtEndRadio, 1062, Radio},
        {ctl::CheckEtxAtEndRadio, 1063, Radio},
        {ctl::CheckNoCrAtEndRadio, 1064, Radio},
        {ctl::CheckCrAtEndRadio, 1065, Radio},
        {ctl::CheckNoLfAtEndRadio, 1066, Radio},
        {ctl::CheckLfAtEndRadio, 1067, Radio},
        {ctl::MsrDataFormatFrame, 1088, Frame},
        {ctl::MsrNotReturnWhenErrRadio, 1070, Radio},
        {ctl::MsrAllDataReturnRadio, 1071, Radio},
        {ctl::MsrNoStxAtHeadRadio, 1074, Radio},
        {ctl::MsrStxAtHeadRadio, 1075, Radio},
        {ctl::MsrNoEscAtHeadRadio, 1076, Radio},
        {ctl::MsrEscAtHeadRadio, 1077, Radio},
        {ctl::MsrNoEtxAtEndRadio, 1078, Radio},
        {ctl::MsrEtxAtEndRadio, 1079, Radio},
        {ctl::MsrNoCrAtEndRadio, 1080, Radio},
        {ctl::MsrCrAtEndRadio, 1081, Radio},
        {ctl::MsrNoLfAtEndRadio, 1082, Radio},
        {ctl::MsrLfAtEndRadio, 1083, Radio},
        {ctl::SelfDefineCodeFrame, 1089, Frame},
        {ctl::Msr1StartCodeCheck, 1121, CheckBox},
        {ctl::Msr1StartCodeList, 1039, DropList},
        {ctl::Msr1EndCodeCheck, 1122, CheckBox},
        {ctl::Msr1EndCodeList, 1096, DropList},
        {ctl::Msr2StartCodeCheck, 1123, CheckBox},
        {ctl::Msr2StartCodeList, 1097, DropList},
        {ctl::Msr2EndCodeCheck, 1124, CheckBox},
        {ctl::Msr2EndCodeList, 1098, DropList},
        {ctl::Msr3StartCodeCheck, 1125, CheckBox},
        {ctl::Msr3StartCodeList, 1099, DropList},
        {ctl::Msr3EndCodeCheck, 1126, CheckBox},
        {ctl::Msr3EndCodeList, 1100, DropList},
        {ctl::MsrErrorCodeCheck, 1132, CheckBox},
        {ctl::MsrErrorCodeList, 1111, DropList},
        {ctl::MicrSeparator1Check, 1106, CheckBox},
        {ctl::MicrSeparator1List, 1101, DropList},
        {ctl::MicrSeparator2Check, 1107, CheckBox},
        {ctl::MicrSeparator2List, 1102, DropList},
        {ctl::MicrSeparator3Check, 1108, CheckBox},
        {ctl::MicrSeparator3List, 1103, DropList},
        {ctl::MicrSeparator4Check, 1109, CheckBox},
        {ctl::MicrSeparator4List, 1104, DropList},
        {ctl::MicrSeparator5Check, 1110, CheckBox},
        {ctl::MicrSeparator5List, 1105, DropList},
        {ctl::MicrErrorCodeLabel, 1131, Label},
        {ctl::MicrErrorCodeList, 1113, DropList},
        {ctl::SendCmd, 1000, Button},
        {ctl::Exit, 2, Button},
        {ctl::CheckReadTestFrame, 1128, Frame},
        {ctl::ComparisonCheck, 1112, CheckBox},
        {ctl::ComparisonBox, 1127, TextBox},
        {ctl::CheckReadDataLabel, 1129, Label},
        {ctl::CheckReadDataBox, 1116, TextBox},
        {ctl::SuccessCounter, 1114, Label},
        {ctl::TotalCounter, 1115, Label},
        {ctl::CountAgain, 1119, Button},
        {ctl::StatusLine, 1004, Label},
    };
    std::set<int> named;
    for (const auto& n : names) {
        EXPECT_EQ(n.named, n.number);
        EXPECT_TRUE(named.insert(n.named).second) << "named twice: " << n.number;
        const ControlSpec* control = FindControl(n.named);
        ASSERT_NE(control, nullptr) << n.number;
        EXPECT_EQ(control->kind, n.kind) << n.number;
    }
    // Every numbered control of the form has its name.
    std::set<int> numbered;
    for (const ControlSpec& c : MainFormControls()) {
        if (c.id != kNoId) {
            numbered.insert(c.id);
        }
    }
    EXPECT_EQ(named, numbered);
}

TEST(ControlIds, TheNamedDeviceTypesAreTheRadiosAfterCustom) {
    // The window tells a named device type by its id lying in this range.
    std::vector<int> range;
    for (int id = ctl::FirstNamedDeviceTypeRadio; id <= ctl::LastDeviceTypeRadio; ++id) {
        range.push_back(id);
    }
    std::vector<int> radios;
    for (int id : DeviceTypeGroupIds()) {
        if (FindControl(id)->kind == Radio && id != ctl::CustomRadio) {
            radios.push_back(id);
        }
    }
    EXPECT_EQ(range, radios);
}

TEST(ControlGroups, AreTheSetsAndOrdersTheWindowHasAlwaysUsed) {
    // Disabling a set passes the focus along in its order: orders matter.
    EXPECT_EQ(Ids(AllSettingsControlIds()),
              (std::vector<int>{
                  1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1069, 1018, 1019, 1072,
                  1027, 1046, 1047, 1016, 1048, 1049, 1050, 1017, 1051, 1052, 1053, 1073, 1034,
                  1054, 1055, 1084, 1021, 1022, 1023, 1024, 1025, 1026, 1085, 1028, 1029, 1030,
                  1031, 1032, 1033, 1086, 1040, 1041, 1042, 1043, 1044, 1045, 1087, 1035, 1036,
                  1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063, 1064, 1065, 1066, 1067, 1088,
                  1070, 1071, 1074, 1075, 1076, 1077, 1078, 1079, 1080, 1081, 1082, 1083, 1089,
                  1121, 1039, 1122, 1096, 1123, 1097, 1124, 1098, 1125, 1099, 1126, 1100, 1132,
                  1111, 1106, 1101, 1107, 1102, 1108, 1103, 1109, 1104, 1110, 1105, 1131, 1113,
                  1000, 1128, 1112, 1127, 1129, 1116, 1114, 1115, 1119}));
    EXPECT_EQ(Ids(TestControlIds()),
              (std::vector<int>{1127, 1116, 1128, 1129, 1112, 1114, 1115, 1119}));
    EXPECT_EQ(Ids(DeviceTypeGroupIds()),
              (std::vector<int>{1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014}));

    const std::vector<int> panels[kCommandCount] = {
        {},                                          // Device_Initial
        {},                                          // Device_Connect
        {},                                          // Device_Type_Setup
        {1069, 1018, 1019},                          // Check_Standards
        {1084, 1021, 1022, 1023, 1024, 1025, 1026},  // MSR1_Standards
        {1085, 1028, 1029, 1030, 1031, 1032, 1033},  // MSR2_Standards
        {1086, 1040, 1041, 1042, 1043, 1044, 1045},  // MSR3_Standards
        {1072, 1016, 1017, 1027, 1046, 1047, 1048, 1049, 1050, 1051, 1052, 1053},  // MSR_Code_Type
        {1073, 1034, 1054, 1055},                                                  // MSR_Read_Limit
    };
    for (int command = 0; command < kCommandCount; ++command) {
        EXPECT_EQ(Ids(CommandPanelControls(command)), panels[command]) << command;
    }
    for (const int notACommand : {int{kNoCommand}, kCommandCount}) {
        EXPECT_TRUE(CommandPanelControls(notACommand).empty()) << notACommand;
    }
}

TEST(ControlGroups, TheTestControlsAreTheCheckReadTestFrameAndWhatItHolds) {
    // Their order is the window's own, not the form's; the set is the frame's.
    const std::set<int> group(TestControlIds().begin(), TestControlIds().end());
    const std::vector<int> frame = FramesWithContents(std::vector<int>{ctl::CheckReadTestFrame});
    EXPECT_EQ(group, std::set<int>(frame.begin(), frame.end()));
    EXPECT_EQ(group.size(), TestControlIds().size());
}

TEST(FrameContents, HoldsTheNumberedControlsInsideTheFrameListedAfterIt) {
    const struct {
        const char* what;
        int frameId;
        std::vector<int> contents;
    } cases[] = {
        {"radios",
         ctl::Msr2CodeFrame,
         {ctl::Msr2Aba1Radio, ctl::Msr2Aba2Radio, ctl::Msr2IataRadio}},
        {"check boxes",
         ctl::MsrReadLimitFrame,
         {ctl::Track1LimitCheck, ctl::Track2LimitCheck, ctl::Track3LimitCheck}},
        // Lists count by their closed box, not by their popup.
        {"check boxes, lists and a label",
         ctl::SelfDefineCodeFrame,
         {ctl::Msr1StartCodeCheck,  ctl::Msr1StartCodeList,   ctl::Msr1EndCodeCheck,
          ctl::Msr1EndCodeList,     ctl::Msr2StartCodeCheck,  ctl::Msr2StartCodeList,
          ctl::Msr2EndCodeCheck,    ctl::Msr2EndCodeList,     ctl::Msr3StartCodeCheck,
          ctl::Msr3StartCodeList,   ctl::Msr3EndCodeCheck,    ctl::Msr3EndCodeList,
          ctl::MsrErrorCodeCheck,   ctl::MsrErrorCodeList,    ctl::MicrSeparator1Check,
          ctl::MicrSeparator1List,  ctl::MicrSeparator2Check, ctl::MicrSeparator2List,
          ctl::MicrSeparator3Check, ctl::MicrSeparator3List,  ctl::MicrSeparator4Check,
          ctl::MicrSeparator4List,  ctl::MicrSeparator5Check, ctl::MicrSeparator5List,
          ctl::MicrErrorCodeLabel,  ctl::MicrErrorCodeList}},
        {"in form order",
         ctl::CheckReadTestFrame,
         {ctl::ComparisonCheck, ctl::ComparisonBox, ctl::CheckReadDataLabel, ctl::CheckReadDataBox,
          ctl::SuccessCounter, ctl::TotalCounter, ctl::CountAgain}},
        {"a radio is no frame", ctl::CustomRadio, {}},
        {"no such control", 4242, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FrameContents(c.frameId), c.contents) << c.what;
    }
}

}  // namespace
