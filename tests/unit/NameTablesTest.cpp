#include <gtest/gtest.h>

#include <string>

#include "protocol/NameTables.h"

namespace {

TEST(CodeNameTable, EveryEntryIsEightCharactersByRule) {
    const struct {
        int value;
        const char* name;
    } cases[] = {
        {0x00, "0x00 NUL"},  {0x08, "0x08 BS "}, {0x0a, "0x0a LF "}, {0x1b, "0x1b ESC"},
        {0x1f, "0x1f US "},  {0x20, "0x20 SP "}, {0x21, "0x21 !  "}, {0x41, "0x41 A  "},
        {0x5c, "0x5c \\  "}, {0x7e, "0x7e ~  "}, {0x7f, "0x7f ?  "}, {0xab, "0xab ?  "},
        {0xff, "0xff ?  "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodeNameOf(c.value), c.name);
    }
    for (const CodeName& name : CodeNameTable()) {
        EXPECT_EQ(std::string(name.data()).size(), 8u) << name.data();
    }
}

TEST(CommandNameTable, CurrentModelRowListsNineCommandsThenEmptySlots) {
    const CommandNameRow& row = CommandNameTable()[kCurrentDeviceIndex];
    const char* expected[] = {
        "Device_Initial",        "Device_Connect",       "Device_Type_Setup",
        "Check_Standards_Setup", "MSR1_Standards_Setup", "MSR2_Standards_Setup",
        "MSR3_Standards_Setup",  "MSR_Code_Type_setup",  "MSR_Read_Limit"};
    for (size_t i = 0; i < row.size(); ++i) {
        EXPECT_EQ(row[i], i < 9 ? expected[i] : "") << i;
    }
    EXPECT_STREQ(kDeviceModels[kCurrentDeviceIndex].name, "Tallisk");
    EXPECT_STREQ(kConnectModeNames[1], "Serial_9600_8_1");
}

}  // namespace
