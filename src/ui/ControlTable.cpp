#include "ControlTable.h"

#include <algorithm>
#include <array>

#include "ControlIds.h"

namespace {

constexpr auto Frame = ControlKind::Frame;
constexpr auto Label = ControlKind::Label;
constexpr auto Radio = ControlKind::Radio;
constexpr auto Check = ControlKind::CheckBox;
constexpr auto List = ControlKind::DropList;
constexpr auto Text = ControlKind::TextBox;
constexpr auto Button = ControlKind::Button;
constexpr bool First = true;
constexpr bool Centred = true;

// clang-format off
constexpr ControlSpec kControls[] = {
    {kNoId, Frame, "Test Type",            {13, 7, 385, 28}, false, false},
    {kNoId, Label, "Device Name",          {17, 20, 47, 10}, false, false},
    {1002,  List,  "",                     {64, 17, 77, 54}, false, false},
    {kNoId, Label, "Connect Mode",         {143, 20, 48, 10}, false, false},
    {1003,  List,  "",                     {192, 17, 72, 64}, false, false},
    {kNoId, Label, "Command Type",         {265, 20, 48, 10}, false, false},
    {1001,  List,  "",                     {313, 17, 82, 108}, false, false},

    {1006,  Frame, "Device Type",          {11, 41, 69, 102}, false, false},
    {1007,  Radio, "CUSTOM",               {16, 53, 40, 10}, First, false},
    {1008,  Radio, "MICR Reader",          {16, 63, 60, 10}, false, false},
    {1009,  Radio, "Kelvra",               {16, 75, 40, 10}, false, false},
    {1010,  Radio, "Dorrin",               {16, 85, 40, 10}, false, false},
    {1011,  Radio, "Wexley",               {16, 97, 56, 10}, false, false},
    {1012,  Radio, "Lomard机型",           {16, 107, 56, 10}, false, false},
    {1013,  Radio, "Fennic",               {16, 119, 56, 10}, false, false},
    {1014,  Radio, "Zorvane",              {16, 129, 56, 10}, false, false},

    {1069,  Frame, "Check Code",           {86, 41, 59, 37}, false, Centred},
    {1018,  Radio, "E13B Code",            {91, 55, 49, 10}, First, false},
    {1019,  Radio, "CMC7 Code",            {91, 65, 49, 10}, false, false},

    {1072,  Frame, "MSR1 Code",            {87, 95, 58, 49}, false, false},
    {1027,  Radio, "ABA1 Code",            {93, 105, 48, 10}, First, false},
    {1046,  Radio, "ABA2 Code",            {93, 117, 48, 10}, false, false},
    {1047,  Radio, "IATA Code",            {93, 129, 48, 10}, false, false},
    {1016,  Frame, "MSR2 Code",            {149, 41, 58, 48}, false, false},
    {1048,  Radio, "ABA1 Code",            {155, 53, 48, 10}, First, false},
    {1049,  Radio, "ABA2 Code",            {155, 65, 48, 10}, false, false},
    {1050,  Radio, "IATA Code",            {155, 77, 48, 10}, false, false},
    {1017,  Frame, "MSR3 Code",            {149, 95, 58, 49}, false, false},
    {1051,  Radio, "ABA1 Code",            {155, 105, 48, 10}, First, false},
    {1052,  Radio, "ABA2 Code",            {155, 117, 48, 10}, false, false},
    {1053,  Radio, "IATA Code",            {155, 129, 48, 10}, false, false},

    {1073,  Frame, "MSR Read Limit",       {211, 41, 186, 22}, false, false},
    {1034,  Check, "Track1",               {225, 51, 46, 10}, false, false},
    {1054,  Check, "Track2",               {279, 51, 46, 10}, false, false},
    {1055,  Check, "Track3",               {339, 51, 46, 10}, false, false},

    {1084,  Frame, "MSR1 Standards",       {211, 69, 62, 74}, false, Centred},
    {1021,  Radio, "ISO",                  {217, 79, 46, 10}, First, false},
    {1022,  Radio, "IBMF",                 {217, 89, 46, 10}, false, false},
    {1023,  Radio, "IBMC",                 {217, 99, 46, 10}, false, false},
    {1024,  Radio, "B/C",                  {217, 109, 46, 10}, false, false},
    {1025,  Radio, "B/FC",                 {217, 119, 46, 10}, false, false},
    {1026,  Radio, "DIN",                  {217, 129, 46, 10}, false, false},
    {1085,  Frame, "MSR2 Standards",       {275, 69, 62, 74}, false, Centred},
    {1028,  Radio, "ISO",                  {279, 79, 46, 10}, First, false},
    {1029,  Radio, "IBMF",                 {279, 89, 46, 10}, false, false},
    {1030,  Radio, "IBMC",                 {279, 99, 46, 10}, false, false},
    {1031,  Radio, "B/C",                  {279, 109, 46, 10}, false, false},
    {1032,  Radio, "B/FC",                 {279, 119, 46, 10}, false, false},
    {1033,  Radio, "DIN",                  {279, 129, 46, 10}, false, false},
    {1086,  Frame, "MSR3 Standards",       {339, 69, 62, 74}, false, Centred},
    {1040,  Radio, "ISO",                  {347, 79, 46, 10}, First, false},
    {1041,  Radio, "IBMF",                 {347, 89, 46, 10}, false, false},
    {1042,  Radio, "IBMC",                 {347, 99, 46, 10}, false, false},
    {1043,  Radio, "B/C",                  {347, 109, 46, 10}, false, false},
    {1044,  Radio, "B/FC",                 {347, 119, 46, 10}, false, false},
    {1045,  Radio, "DIN",                  {347, 129, 46, 10}, false, false},

    {1087,  Frame, "Check Data Format",    {14, 145, 190, 89}, false, false},
    {1035,  Radio, "Not Return When ERR",  {19, 159, 93, 10}, First, false},
    {1036,  Radio, "All Data Return",      {115, 159, 86, 10}, false, false},
    {1056,  Radio, "No Space Handle",      {19, 169, 93, 10}, First, false},
    {1057,  Radio, "With Space Handle",    {115, 169, 86, 10}, false, false},
    {1058,  Radio, "No STX At Data Head ", {19, 179, 93, 10}, First, false},
    {1059,  Radio, "STX At Data Head",     {115, 179, 86, 10}, false, false},
    {1060,  Radio, "No ESC At Data Head",  {19, 189, 93, 10}, First, false},
    {1061,  Radio, "ESC At Data Head",     {115, 189, 86, 10}, false, false},
    {1062,  Radio, "No ETX At Data End",   {19, 199, 93, 10}, First, false},
    {1063,  Radio, "ETX At Data End",      {115, 199, 86, 10}, false, false},
    {1064,  Radio, "No CR At Data End",    {19, 209, 93, 10}, First, false},
    {1065,  Radio, "CR At Data End",       {115, 209, 86, 10}, false, false},
    {1066,  Radio, "No LF At Data End",    {19, 219, 93, 10}, First, false},
    {1067,  Radio, "LF At Data End",       {115, 219, 86, 10}, false, false},

    {1088,  Frame, "MSR Data Format",      {208, 145, 190, 89}, false, false},
    {1070,  Radio, "Not Return When ERR",  {214, 159, 93, 10}, First, false},
    {1071,  Radio, "All Data Return",      {310, 159, 86, 10}, false, false},
    {1074,  Radio, "No STX At Data Head",  {214, 179, 93, 10}, First, false},
    {1075,  Radio, "STX At Data Head",     {310, 179, 86, 10}, false, false},
    {1076,  Radio, "No ESC At Data Head",  {214, 189, 93, 10}, First, false},
    {1077,  Radio, "ESC At Data Head",     {310, 189, 86, 10}, false, false},
    {1078,  Radio, "No ETX At Data End",   {214, 199, 93, 10}, First, false},
    {1079,  Radio, "ETX At Data End",      {310, 199, 86, 10}, false, false},
    {1080,  Radio, "No CR At Data End",    {214, 209, 93, 10}, First, false},
    {1081,  Radio, "CR At Data End",       {310, 209, 86, 10}, false, false},
    {1082,  Radio, "No LF At Data End",    {214, 219, 93, 10}, First, false},
    {1083,  Radio, "LF At Data End",       {310, 219, 86, 10}, false, false},

    {1089,  Frame, "Self Define Code",     {14, 235, 332, 110}, false, false},
    {1121,  Check, "MSR1 Data Start Code", {19, 248, 91, 8}, false, false},
    {1039,  List,  "",                     {113, 243, 59, 119}, false, false},
    {1122,  Check, "MSR1 Data End   Code", {19, 261, 91, 8}, false, false},
    {1096,  List,  "",                     {113, 257, 59, 119}, false, false},
    {1123,  Check, "MSR2 Data Start Code", {19, 275, 91, 8}, false, false},
    {1097,  List,  "",                     {113, 271, 59, 119}, false, false},
    {1124,  Check, "MSR2 Data End   Code", {19, 288, 91, 8}, false, false},
    {1098,  List,  "",                     {113, 285, 59, 119}, false, false},
    {1125,  Check, "MSR3 Data Start Code", {19, 301, 91, 8}, false, false},
    {1099,  List,  "",                     {113, 299, 59, 119}, false, false},
    {1126,  Check, "MSR3 Data End   Code", {19, 315, 91, 8}, false, false},
    {1100,  List,  "",                     {113, 313, 59, 119}, false, false},
    {1132,  Check, "MSR  Data ERR   Code", {19, 330, 91, 8}, false, false},
    {1111,  List,  "",                     {113, 328, 59, 119}, false, false},
    {1106,  Check, "MICR Separate Code S1", {184, 247, 95, 8}, false, false},
    {1101,  List,  "",                     {282, 243, 59, 119}, false, false},
    {1107,  Check, "MICR Separate Code S2", {184, 263, 95, 8}, false, false},
    {1102,  List,  "",                     {282, 261, 59, 119}, false, false},
    {1108,  Check, "MICR Separate Code S3", {184, 281, 95, 8}, false, false},
    {1103,  List,  "",                     {282, 279, 59, 119}, false, false},
    {1109,  Check, "MICR Separate Code S4", {184, 298, 95, 8}, false, false},
    {1104,  List,  "",                     {282, 297, 59, 119}, false, false},
    {1110,  Check, "MICR Separate Code S5", {184, 315, 95, 8}, false, false},
    {1105,  List,  "",                     {282, 313, 59, 119}, false, false},
    {1131,  Label, "MICR  Data ERR Code",  {196, 331, 78, 8}, false, false},
    {1113,  List,  "",                     {282, 329, 59, 119}, false, false},

    {1000,  Button, "Send Cmd",            {355, 245, 42, 17}, false, false},
    {2,     Button, "Exit",                {353, 295, 42, 17}, false, false},

    {1128,  Frame, "CheckReadTest",        {14, 345, 384, 65}, false, false},
    {1112,  Check, "Comparison",           {17, 359, 55, 8}, false, false},
    {1127,  Text,  "",                     {73, 357, 250, 25}, false, false},
    {1129,  Label, "CheckReadData",        {17, 385, 53, 9}, false, false},
    {1116,  Text,  "",                     {73, 385, 250, 23}, false, false},
    {1114,  Label, "SuccessCount:0",       {328, 352, 68, 8}, false, false},
    {1115,  Label, "Total Count :0",       {328, 362, 68, 8}, false, false},
    {1119,  Button, "Count Again",         {330, 371, 65, 12}, false, false},

    {kNoId, Frame, "",                     {13, 409, 384, 20}, false, false},
    {1004,  Label, "StateBar",             {20, 416, 373, 8}, false, false},
};
// clang-format on

constexpr std::array<int, 5> kOutsideSettingsSet = {
    ctl::Exit, ctl::CommandTypeList, ctl::DeviceNameList, ctl::ConnectModeList, ctl::StatusLine};

constexpr std::array<int, 8> kTestControls = {
    ctl::ComparisonBox,   ctl::CheckReadDataBox, ctl::CheckReadTestFrame, ctl::CheckReadDataLabel,
    ctl::ComparisonCheck, ctl::SuccessCounter,   ctl::TotalCounter,       ctl::CountAgain,
};

constexpr std::array<int, 9> kDeviceTypeGroup = {1006, 1007, 1008, 1009, 1010,
                                                 1011, 1012, 1013, 1014};

}  // namespace

std::span<const ControlSpec> MainFormControls() {
    return kControls;
}

const ControlSpec* FindControl(int id) {
    auto it = std::find_if(std::begin(kControls), std::end(kControls),
                           [id](const ControlSpec& c) { return c.id == id; });
    return it == std::end(kControls) ? nullptr : &*it;
}

std::vector<FormEntry> MainFormOrder() {
    std::vector<FormEntry> order;
    order.reserve(std::size(kControls));
    for (const ControlSpec& c : kControls) {
        order.push_back({c.id, c.kind, c.firstOfGroup});
    }
    return order;
}

std::span<const int> AllSettingsControlIds() {
    // Every numbered control but Exit, the three top lists and the status line.
    static const std::vector<int> ids = [] {
        std::vector<int> v;
        for (const ControlSpec& c : kControls) {
            const bool outside = std::find(kOutsideSettingsSet.begin(), kOutsideSettingsSet.end(),
                                           c.id) != kOutsideSettingsSet.end();
            if (c.id != kNoId && !outside) {
                v.push_back(c.id);
            }
        }
        return v;
    }();
    return ids;
}

std::span<const int> TestControlIds() {
    return kTestControls;
}

std::span<const int> DeviceTypeGroupIds() {
    return kDeviceTypeGroup;
}
