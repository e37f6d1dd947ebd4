#pragma once

// Numeric ids of the main window's controls that code addresses by name.
// The full inventory of the form lives in the form's control table; the
// settings bindings use the ids of their own controls directly.
namespace ctl {

inline constexpr int Exit = 2;  // the dialog's cancel id
inline constexpr int SendCmd = 1000;
inline constexpr int CommandTypeList = 1001;
inline constexpr int DeviceNameList = 1002;
inline constexpr int ConnectModeList = 1003;
inline constexpr int StatusLine = 1004;

inline constexpr int DeviceTypeFrame = 1006;
inline constexpr int CustomRadio = 1007;
inline constexpr int LastDeviceTypeRadio = 1014;

inline constexpr int ComparisonCheck = 1112;
inline constexpr int SuccessCounter = 1114;
inline constexpr int TotalCounter = 1115;
inline constexpr int CheckReadDataBox = 1116;
inline constexpr int CountAgain = 1119;
inline constexpr int ComparisonBox = 1127;
inline constexpr int CheckReadTestFrame = 1128;
inline constexpr int CheckReadDataLabel = 1129;

}  // namespace ctl
