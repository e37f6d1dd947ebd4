#pragma once

// Numeric ids of the main window's controls, named after what each shows.
// The values are the form's own and never change. The form's control table
// lays them out; the groups the window works on are taken from that table.
// Unnumbered frames and labels have no id.
namespace ctl {

// Test Type
inline constexpr int DeviceNameList = 1002;
inline constexpr int ConnectModeList = 1003;
inline constexpr int CommandTypeList = 1001;

// Device Type
inline constexpr int DeviceTypeFrame = 1006;
inline constexpr int CustomRadio = 1007;
inline constexpr int MicrReaderRadio = 1008;
inline constexpr int KelvraRadio = 1009;
inline constexpr int DorrinRadio = 1010;
inline constexpr int WexleyRadio = 1011;
inline constexpr int LomardRadio = 1012;
inline constexpr int FennicRadio = 1013;
inline constexpr int ZorvaneRadio = 1014;
// The named device types follow CUSTOM with consecutive ids.
inline constexpr int FirstNamedDeviceTypeRadio = MicrReaderRadio;
inline constexpr int LastDeviceTypeRadio = ZorvaneRadio;

// Check Code
inline constexpr int CheckCodeFrame = 1069;
inline constexpr int CheckE13bRadio = 1018;
inline constexpr int CheckCmc7Radio = 1019;

// MSR1, MSR2, MSR3 Code
inline constexpr int Msr1CodeFrame = 1072;
inline constexpr int Msr1Aba1Radio = 1027;
inline constexpr int Msr1Aba2Radio = 1046;
inline constexpr int Msr1IataRadio = 1047;
inline constexpr int Msr2CodeFrame = 1016;
inline constexpr int Msr2Aba1Radio = 1048;
inline constexpr int Msr2Aba2Radio = 1049;
inline constexpr int Msr2IataRadio = 1050;
inline constexpr int Msr3CodeFrame = 1017;
inline constexpr int Msr3Aba1Radio = 1051;
inline constexpr int Msr3Aba2Radio = 1052;
inline constexpr int Msr3IataRadio = 1053;

// MSR Read Limit
inline constexpr int MsrReadLimitFrame = 1073;
inline constexpr int Track1LimitCheck = 1034;
inline constexpr int Track2LimitCheck = 1054;
inline constexpr int Track3LimitCheck = 1055;

// MSR1, MSR2, MSR3 Standards
inline constexpr int Msr1StandardsFrame = 1084;
inline constexpr int Msr1IsoRadio = 1021;
inline constexpr int Msr1IbmfRadio = 1022;
inline constexpr int Msr1IbmcRadio = 1023;
inline constexpr int Msr1BcRadio = 1024;
inline constexpr int Msr1BfcRadio = 1025;
inline constexpr int Msr1DinRadio = 1026;
inline constexpr int Msr2StandardsFrame = 1085;
inline constexpr int Msr2IsoRadio = 1028;
inline constexpr int Msr2IbmfRadio = 1029;
inline constexpr int Msr2IbmcRadio = 1030;
inline constexpr int Msr2BcRadio = 1031;
inline constexpr int Msr2BfcRadio = 1032;
inline constexpr int Msr2DinRadio = 1033;
inline constexpr int Msr3StandardsFrame = 1086;
inline constexpr int Msr3IsoRadio = 1040;
inline constexpr int Msr3IbmfRadio = 1041;
inline constexpr int Msr3IbmcRadio = 1042;
inline constexpr int Msr3BcRadio = 1043;
inline constexpr int Msr3BfcRadio = 1044;
inline constexpr int Msr3DinRadio = 1045;

// Check Data Format
inline constexpr int CheckDataFormatFrame = 1087;
inline constexpr int CheckNotReturnWhenErrRadio = 1035;
inline constexpr int CheckAllDataReturnRadio = 1036;
inline constexpr int CheckNoSpaceHandleRadio = 1056;
inline constexpr int CheckWithSpaceHandleRadio = 1057;
inline constexpr int CheckNoStxAtHeadRadio = 1058;
inline constexpr int CheckStxAtHeadRadio = 1059;
inline constexpr int CheckNoEscAtHeadRadio = 1060;
inline constexpr int CheckEscAtHeadRadio = 1061;
inline constexpr int CheckNoEtxAtEndRadio = 1062;
inline constexpr int CheckEtxAtEndRadio = 1063;
inline constexpr int CheckNoCrAtEndRadio = 1064;
inline constexpr int CheckCrAtEndRadio = 1065;
inline constexpr int CheckNoLfAtEndRadio = 1066;
inline constexpr int CheckLfAtEndRadio = 1067;

// MSR Data Format
inline constexpr int MsrDataFormatFrame = 1088;
inline constexpr int MsrNotReturnWhenErrRadio = 1070;
inline constexpr int MsrAllDataReturnRadio = 1071;
inline constexpr int MsrNoStxAtHeadRadio = 1074;
inline constexpr int MsrStxAtHeadRadio = 1075;
inline constexpr int MsrNoEscAtHeadRadio = 1076;
inline constexpr int MsrEscAtHeadRadio = 1077;
inline constexpr int MsrNoEtxAtEndRadio = 1078;
inline constexpr int MsrEtxAtEndRadio = 1079;
inline constexpr int MsrNoCrAtEndRadio = 1080;
inline constexpr int MsrCrAtEndRadio = 1081;
inline constexpr int MsrNoLfAtEndRadio = 1082;
inline constexpr int MsrLfAtEndRadio = 1083;

// Self Define Code: each code has its check box and its list of codes.
inline constexpr int SelfDefineCodeFrame = 1089;
inline constexpr int Msr1StartCodeCheck = 1121;
inline constexpr int Msr1StartCodeList = 1039;
inline constexpr int Msr1EndCodeCheck = 1122;
inline constexpr int Msr1EndCodeList = 1096;
inline constexpr int Msr2StartCodeCheck = 1123;
inline constexpr int Msr2StartCodeList = 1097;
inline constexpr int Msr2EndCodeCheck = 1124;
inline constexpr int Msr2EndCodeList = 1098;
inline constexpr int Msr3StartCodeCheck = 1125;
inline constexpr int Msr3StartCodeList = 1099;
inline constexpr int Msr3EndCodeCheck = 1126;
inline constexpr int Msr3EndCodeList = 1100;
inline constexpr int MsrErrorCodeCheck = 1132;
inline constexpr int MsrErrorCodeList = 1111;
inline constexpr int MicrSeparator1Check = 1106;
inline constexpr int MicrSeparator1List = 1101;
inline constexpr int MicrSeparator2Check = 1107;
inline constexpr int MicrSeparator2List = 1102;
inline constexpr int MicrSeparator3Check = 1108;
inline constexpr int MicrSeparator3List = 1103;
inline constexpr int MicrSeparator4Check = 1109;
inline constexpr int MicrSeparator4List = 1104;
inline constexpr int MicrSeparator5Check = 1110;
inline constexpr int MicrSeparator5List = 1105;
inline constexpr int MicrErrorCodeLabel = 1131;
inline constexpr int MicrErrorCodeList = 1113;

// Buttons
inline constexpr int SendCmd = 1000;
inline constexpr int Exit = 2;  // the dialog's cancel id

// CheckReadTest
inline constexpr int CheckReadTestFrame = 1128;
inline constexpr int ComparisonCheck = 1112;
inline constexpr int ComparisonBox = 1127;
inline constexpr int CheckReadDataLabel = 1129;
inline constexpr int CheckReadDataBox = 1116;
inline constexpr int SuccessCounter = 1114;
inline constexpr int TotalCounter = 1115;
inline constexpr int CountAgain = 1119;

// The status bar
inline constexpr int StatusLine = 1004;

}  // namespace ctl
