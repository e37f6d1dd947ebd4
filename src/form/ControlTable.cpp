#include "form/ControlTable.h"

#include <algorithm>
#include <array>

#include "form/ControlIds.h"

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
    {kNoId,                           Frame, "Test Type",            {13, 7, 385, 28}, false, false},
    {kNoId,                           Label, "Device Name",          {17, 20, 47, 10}, false, false},
    {ctl::DeviceNameList,             List,  "",                     {64, 17, 77, 54}, false, false},
    {kNoId,                           Label, "Connect Mode",         {143, 20, 48, 10}, false, false},
    {ctl::ConnectModeList,            List,  "",                     {192, 17, 72, 64}, false, false},
    {kNoId,                           Label, "Command Type",         {265, 20, 48, 10}, false, false},
    {ctl::CommandTypeList,            List,  "",                     {313, 17, 82, 108}, false, false},

    {ctl::DeviceTypeFrame,            Frame, "Device Type",          {11, 41, 69, 102}, false, false},
    {ctl::CustomRadio,                Radio, "CUSTOM",               {16, 53, 40, 10}, First, false},
    {ctl::MicrReaderRadio,            Radio, "MICR Reader",          {16, 63, 60, 10}, false, false},
    {ctl::KelvraRadio,                Radio, "Kelvra",               {16, 75, 40, 10}, false, false},
    {ctl::DorrinRadio,                Radio, "Dorrin",               {16, 85, 40, 10}, false, false},
    {ctl::WexleyRadio,                Radio, "Wexley",               {16, 97, 56, 10}, false, false},
    {ctl::LomardRadio,                Radio, "Lomard机型",           {16, 107, 56, 10}, false, false},
    {ctl::FennicRadio,                Radio, "Fennic",               {16, 119, 56, 10}, false, false},
    {ctl::ZorvaneRadio,               Radio, "Zorvane",              {16, 129, 56, 10}, false, false},

    {ctl::CheckCodeFrame,             Frame, "Check Code",           {86, 41, 59, 37}, false, Centred},
    {ctl::CheckE13bRadio,             Radio, "E13B Code",            {91, 55, 49, 10}, First, false},
    {ctl::CheckCmc7Radio,             Radio, "CMC7 Code",            {91, 65, 49, 10}, false, false},

    {ctl::Msr1CodeFrame,              Frame, "MSR1 Code",            {87, 95, 58, 49}, false, false},
    {ctl::Msr1Aba1Radio,              Radio, "ABA1 Code",            {93, 105, 48, 10}, First, false},
    {ctl::Msr1Aba2Radio,              Radio, "ABA2 Code",            {93, 117, 48, 10}, false, false},
    {ctl::Msr1IataRadio,              Radio, "IATA Code",            {93, 129, 48, 10}, false, false},
    {ctl::Msr2CodeFrame,              Frame, "MSR2 Code",            {149, 41, 58, 48}, false, false},
    {ctl::Msr2Aba1Radio,              Radio, "ABA1 Code",            {155, 53, 48, 10}, First, false},
    {ctl::Msr2Aba2Radio,              Radio, "ABA2 Code",            {155, 65, 48, 10}, false, false},
    {ctl::Msr2IataRadio,              Radio, "IATA Code",            {155, 77, 48, 10}, false, false},
    {ctl::Msr3CodeFrame,              Frame, "MSR3 Code",            {149, 95, 58, 49}, false, false},
    {ctl::Msr3Aba1Radio,              Radio, "ABA1 Code",            {155, 105, 48, 10}, First, false},
    {ctl::Msr3Aba2Radio,              Radio, "ABA2 Code",            {155, 117, 48, 10}, false, false},
    {ctl::Msr3IataRadio,              Radio, "IATA Code",            {155, 129, 48, 10}, false, false},

    {ctl::MsrReadLimitFrame,          Frame, "MSR Read Limit",       {211, 41, 186, 22}, false, false},
    {ctl::Track1LimitCheck,           Check, "Track1",               {225, 51, 46, 10}, false, false},
    {ctl::Track2LimitCheck,           Check, "Track2",               {279, 51, 46, 10}, false, false},
    {ctl::Track3LimitCheck,           Check, "Track3",               {339, 51, 46, 10}, false, false},

    {ctl::Msr1StandardsFrame,         Frame, "MSR1 Standards",       {211, 69, 62, 74}, false, Centred},
    {ctl::Msr1IsoRadio,               Radio, "ISO",                  {217, 79, 46, 10}, First, false},
    {ctl::Msr1IbmfRadio,              Radio, "IBMF",                 {217, 89, 46, 10}, false, false},
    {ctl::Msr1IbmcRadio,              Radio, "IBMC",                 {217, 99, 46, 10}, false, false},
    {ctl::Msr1BcRadio,                Radio, "B/C",                  {217, 109, 46, 10}, false, false},
    {ctl::Msr1BfcRadio,               Radio, "B/FC",                 {217, 119, 46, 10}, false, false},
    {ctl::Msr1DinRadio,               Radio, "DIN",                  {217, 129, 46, 10}, false, false},
    {ctl::Msr2StandardsFrame,         Frame, "MSR2 Standards",       {275, 69, 62, 74}, false, Centred},
    {ctl::Msr2IsoRadio,               Radio, "ISO",                  {279, 79, 46, 10}, First, false},
    {ctl::Msr2IbmfRadio,              Radio, "IBMF",                 {279, 89, 46, 10}, false, false},
    {ctl::Msr2IbmcRadio,              Radio, "IBMC",                 {279, 99, 46, 10}, false, false},
    {ctl::Msr2BcRadio,                Radio, "B/C",                  {279, 109, 46, 10}, false, false},
    {ctl::Msr2BfcRadio,               Radio, "B/FC",                 {279, 119, 46, 10}, false, false},
    {ctl::Msr2DinRadio,               Radio, "DIN",                  {279, 129, 46, 10}, false, false},
    {ctl::Msr3StandardsFrame,         Frame, "MSR3 Standards",       {339, 69, 62, 74}, false, Centred},
    {ctl::Msr3IsoRadio,               Radio, "ISO",                  {347, 79, 46, 10}, First, false},
    {ctl::Msr3IbmfRadio,              Radio, "IBMF",                 {347, 89, 46, 10}, false, false},
    {ctl::Msr3IbmcRadio,              Radio, "IBMC",                 {347, 99, 46, 10}, false, false},
    {ctl::Msr3BcRadio,                Radio, "B/C",                  {347, 109, 46, 10}, false, false},
    {ctl::Msr3BfcRadio,               Radio, "B/FC",                 {347, 119, 46, 10}, false, false},
    {ctl::Msr3DinRadio,               Radio, "DIN",                  {347, 129, 46, 10}, false, false},

    {ctl::CheckDataFormatFrame,       Frame, "Check Data Format",    {14, 145, 190, 89}, false, false},
    {ctl::CheckNotReturnWhenErrRadio, Radio, "Not Return When ERR",  {19, 159, 93, 10}, First, false},
    {ctl::CheckAllDataReturnRadio,    Radio, "All Data Return",      {115, 159, 86, 10}, false, false},
    {ctl::CheckNoSpaceHandleRadio,    Radio, "No Space Handle",      {19, 169, 93, 10}, First, false},
    {ctl::CheckWithSpaceHandleRadio,  Radio, "With Space Handle",    {115, 169, 86, 10}, false, false},
    {ctl::CheckNoStxAtHeadRadio,      Radio, "No STX At Data Head ", {19, 179, 93, 10}, First, false},
    {ctl::CheckStxAtHeadRadio,        Radio, "STX At Data Head",     {115, 179, 86, 10}, false, false},
    {ctl::CheckNoEscAtHeadRadio,      Radio, "No ESC At Data Head",  {19, 189, 93, 10}, First, false},
    {ctl::CheckEscAtHeadRadio,        Radio, "ESC At Data Head",     {115, 189, 86, 10}, false, false},
    {ctl::CheckNoEtxAtEndRadio,       Radio, "No ETX At Data End",   {19, 199, 93, 10}, First, false},
    {ctl::CheckEtxAtEndRadio,         Radio, "ETX At Data End",      {115, 199, 86, 10}, false, false},
    {ctl::CheckNoCrAtEndRadio,        Radio, "No CR At Data End",    {19, 209, 93, 10}, First, false},
    {ctl::CheckCrAtEndRadio,          Radio, "CR At Data End",       {115, 209, 86, 10}, false, false},
    {ctl::CheckNoLfAtEndRadio,        Radio, "No LF At Data End",    {19, 219, 93, 10}, First, false},
    {ctl::CheckLfAtEndRadio,          Radio, "LF At Data End",       {115, 219, 86, 10}, false, false},

    {ctl::MsrDataFormatFrame,         Frame, "MSR Data Format",      {208, 145, 190, 89}, false, false},
    {ctl::MsrNotReturnWhenErrRadio,   Radio, "Not Return When ERR",  {214, 159, 93, 10}, First, false},
    {ctl::MsrAllDataReturnRadio,      Radio, "All Data Return",      {310, 159, 86, 10}, false, false},
    {ctl::MsrNoStxAtHeadRadio,        Radio, "No STX At Data Head",  {214, 179, 93, 10}, First, false},
    {ctl::MsrStxAtHeadRadio,          Radio, "STX At Data Head",     {310, 179, 86, 10}, false, false},
    {ctl::MsrNoEscAtHeadRadio,        Radio, "No ESC At Data Head",  {214, 189, 93, 10}, First, false},
    {ctl::MsrEscAtHeadRadio,          Radio, "ESC At Data Head",     {310, 189, 86, 10}, false, false},
    {ctl::MsrNoEtxAtEndRadio,         Radio, "No ETX At Data End",   {214, 199, 93, 10}, First, false},
    {ctl::MsrEtxAtEndRadio,           Radio, "ETX At Data End",      {310, 199, 86, 10}, false, false},
    {ctl::MsrNoCrAtEndRadio,          Radio, "No CR At Data End",    {214, 209, 93, 10}, First, false},
    {ctl::MsrCrAtEndRadio,            Radio, "CR At Data End",       {310, 209, 86, 10}, false, false},
    {ctl::MsrNoLfAtEndRadio,          Radio, "No LF At Data End",    {214, 219, 93, 10}, First, false},
    {ctl::MsrLfAtEndRadio,            Radio, "LF At Data End",       {310, 219, 86, 10}, false, false},

    {ctl::SelfDefineCodeFrame,        Frame, "Self Define Code",     {14, 235, 332, 110}, false, false},
    {ctl::Msr1StartCodeCheck,         Check, "MSR1 Data Start Code", {19, 248, 91, 8}, false, false},
    {ctl::Msr1StartCodeList,          List,  "",                     {113, 243, 59, 119}, false, false},
    {ctl::Msr1EndCodeCheck,           Check, "MSR1 Data End   Code", {19, 261, 91, 8}, false, false},
    {ctl::Msr1EndCodeList,            List,  "",                     {113, 257, 59, 119}, false, false},
    {ctl::Msr2StartCodeCheck,         Check, "MSR2 Data Start Code", {19, 275, 91, 8}, false, false},
    {ctl::Msr2StartCodeList,          List,  "",                     {113, 271, 59, 119}, false, false},
    {ctl::Msr2EndCodeCheck,           Check, "MSR2 Data End   Code", {19, 288, 91, 8}, false, false},
    {ctl::Msr2EndCodeList,            List,  "",                     {113, 285, 59, 119}, false, false},
    {ctl::Msr3StartCodeCheck,         Check, "MSR3 Data Start Code", {19, 301, 91, 8}, false, false},
    {ctl::Msr3StartCodeList,          List,  "",                     {113, 299, 59, 119}, false, false},
    {ctl::Msr3EndCodeCheck,           Check, "MSR3 Data End   Code", {19, 315, 91, 8}, false, false},
    {ctl::Msr3EndCodeList,            List,  "",                     {113, 313, 59, 119}, false, false},
    {ctl::MsrErrorCodeCheck,          Check, "MSR  Data ERR   Code", {19, 330, 91, 8}, false, false},
    {ctl::MsrErrorCodeList,           List,  "",                     {113, 328, 59, 119}, false, false},
    {ctl::MicrSeparator1Check,        Check, "MICR Separate Code S1", {184, 247, 95, 8}, false, false},
    {ctl::MicrSeparator1List,         List,  "",                     {282, 243, 59, 119}, false, false},
    {ctl::MicrSeparator2Check,        Check, "MICR Separate Code S2", {184, 263, 95, 8}, false, false},
    {ctl::MicrSeparator2List,         List,  "",                     {282, 261, 59, 119}, false, false},
    {ctl::MicrSeparator3Check,        Check, "MICR Separate Code S3", {184, 281, 95, 8}, false, false},
    {ctl::MicrSeparator3List,         List,  "",                     {282, 279, 59, 119}, false, false},
    {ctl::MicrSeparator4Check,        Check, "MICR Separate Code S4", {184, 298, 95, 8}, false, false},
    {ctl::MicrSeparator4List,         List,  "",                     {282, 297, 59, 119}, false, false},
    {ctl::MicrSeparator5Check,        Check, "MICR Separate Code S5", {184, 315, 95, 8}, false, false},
    {ctl::MicrSeparator5List,         List,  "",                     {282, 313, 59, 119}, false, false},
    {ctl::MicrErrorCodeLabel,         Label, "MICR  Data ERR Code",  {196, 331, 78, 8}, false, false},
    {ctl::MicrErrorCodeList,          List,  "",                     {282, 329, 59, 119}, false, false},

    {ctl::SendCmd,                    Button, "Send Cmd",            {355, 245, 42, 17}, false, false},
    {ctl::Exit,                       Button, "Exit",                {353, 295, 42, 17}, false, false},

    {ctl::CheckReadTestFrame,         Frame, "CheckReadTest",        {14, 345, 384, 65}, false, false},
    {ctl::ComparisonCheck,            Check, "Comparison",           {17, 359, 55, 8}, false, false},
    {ctl::ComparisonBox,              Text,  "",                     {73, 357, 250, 25}, false, false},
    {ctl::CheckReadDataLabel,         Label, "CheckReadData",        {17, 385, 53, 9}, false, false},
    {ctl::CheckReadDataBox,           Text,  "",                     {73, 385, 250, 23}, false, false},
    {ctl::SuccessCounter,             Label, "SuccessCount:0",       {328, 352, 68, 8}, false, false},
    {ctl::TotalCounter,               Label, "Total Count :0",       {328, 362, 68, 8}, false, false},
    {ctl::CountAgain,                 Button, "Count Again",         {330, 371, 65, 12}, false, false},

    {kNoId,                           Frame, "",                     {13, 409, 384, 20}, false, false},
    {ctl::StatusLine,                 Label, "StateBar",             {20, 416, 373, 8}, false, false},
};
// clang-format on

constexpr std::array<int, 5> kOutsideSettingsSet = {
    ctl::Exit, ctl::CommandTypeList, ctl::DeviceNameList, ctl::ConnectModeList, ctl::StatusLine};

// The frame holds them, but the window has always switched them in this
// order, and the order decides where the focus passes when they are
// disabled under it.
constexpr std::array<int, 8> kTestControls = {
    ctl::ComparisonBox,   ctl::CheckReadDataBox, ctl::CheckReadTestFrame, ctl::CheckReadDataLabel,
    ctl::ComparisonCheck, ctl::SuccessCounter,   ctl::TotalCounter,       ctl::CountAgain,
};

// A drop-down list's rectangle takes in its popup: the list lies in a frame
// when its closed box, at the top of the rectangle, does.
bool Holds(const DluRect& frame, const ControlSpec& c) {
    const int bottom = c.kind == ControlKind::DropList ? c.rect.y : c.rect.y + c.rect.height;
    return c.rect.x >= frame.x && c.rect.y >= frame.y &&
           c.rect.x + c.rect.width <= frame.x + frame.width && bottom <= frame.y + frame.height;
}

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

std::vector<int> FrameContents(int frameId) {
    std::vector<int> ids;
    const auto frame = std::find_if(std::begin(kControls), std::end(kControls),
                                    [frameId](const ControlSpec& c) { return c.id == frameId; });
    if (frame == std::end(kControls) || frame->kind != ControlKind::Frame) {
        return ids;
    }
    for (auto c = std::next(frame); c != std::end(kControls); ++c) {
        if (c->id != kNoId && Holds(frame->rect, *c)) {
            ids.push_back(c->id);
        }
    }
    return ids;
}

std::vector<int> FramesWithContents(std::span<const int> frameIds) {
    std::vector<int> ids(frameIds.begin(), frameIds.end());
    for (int frameId : frameIds) {
        const std::vector<int> contents = FrameContents(frameId);
        ids.insert(ids.end(), contents.begin(), contents.end());
    }
    return ids;
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
    static const std::vector<int> ids = FramesWithContents(std::array{ctl::DeviceTypeFrame});
    return ids;
}
