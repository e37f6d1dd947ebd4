#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ReaderModel.h"
#include "config/SettingsComparison.h"
#include "config/SettingsDescription.h"

namespace {

Configuration DefaultReader() {
    return DecodeConfiguration(ReaderModel::DefaultConfig());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(DescribeSettings, EverySettingAndCodeAsTheWindowShowsItAndTheRawBlock) {
    const Configuration c = DefaultReader();
    const std::vector<std::string> lines =
        Lines(DescribeSettings(c.settings, c.codes, ReaderModel::DefaultConfig()));
    ASSERT_EQ(lines.size(), 1u + kSettingCount + 1u + kCodeCount + 1u);
    EXPECT_EQ(lines.front(), "Settings:");
    EXPECT_EQ(lines[1 + kSettingCount], "Codes:");
    EXPECT_EQ(lines.back(),
              "Block: 30 43 41 42 43 44 45 3F 20 00 10 07 2A 00 12 34 23 3F 25 3F 3B 3F 3B 3F");
    for (const char* line : {
             "  Device Type (deviceType): CUSTOM",
             "  Check Code (checkCode): E13B Code",
             "  MSR1 Code (msr1CodeType): IATA Code",
             "  MSR3 Code (msr3CodeType): ABA2 Code",
             "  Track1 (track1Limit): checked",
             "  MSR2 Standards (msr2Standard): ISO",
             "  Check Data Format (checkErrorReturn): All Data Return",
             "  Check Data Format (checkStxAtHead): No STX At Data Head ",
             "  MSR Data Format (msrLfAtEnd): LF At Data End",
             "  MSR1 Data End   Code (msr1EndCodeOn): checked",
             "  MICR Separate Code S5 (micrSeparator5On): checked",
             "  MSR1 Data Start Code (msr1StartCode): 0x25 %",
             "  MSR  Data ERR   Code (msrErrorCode): 0x2a *",
             "  MICR  Data ERR Code (micrErrorCode): 0x3f ?",
         }) {
        EXPECT_TRUE(Contains(lines, line)) << line;
    }
}

TEST(DescribeSettings, ValuesWithNoChoiceAndUnusualCodes) {
    Configuration c = DefaultReader();
    c.settings.checkCode = -1;
    c.settings.msr1Standard = 7;
    c.settings.deviceType = 5;
    c.settings.track3Limit = 0;
    c.codes[7] = 0x20;   // S1
    c.codes[8] = 0x00;   // S2
    c.codes[9] = 0x1B;   // S3
    c.codes[10] = 0x7F;  // S4
    const std::vector<std::string> lines =
        Lines(DescribeSettings(c.settings, c.codes, ReaderModel::DefaultConfig()));
    for (const char* line : {
             "  Device Type (deviceType): Lomard机型",
             "  Check Code (checkCode): (none)",
             "  MSR1 Standards (msr1Standard): (no such choice: 7)",
             "  Track3 (track3Limit): clear",
             "  MICR Separate Code S1 (micrSeparator1): 0x20 SP",
             "  MICR Separate Code S2 (micrSeparator2): (none)",
             "  MICR Separate Code S3 (micrSeparator3): 0x1b ESC",
             "  MICR Separate Code S4 (micrSeparator4): 0x7f DEL",
         }) {
        EXPECT_TRUE(Contains(lines, line)) << line;
    }
}

TEST(CompareSettings, ListsEachDifferenceInTheFormsOrder) {
    const struct {
        const char* what;
        std::function<void(Configuration&)> edit;
        std::vector<SettingDifference> expected;
    } cases[] = {
        {"the same", [](Configuration&) {}, {}},
        {"a radio group",
         [](Configuration& c) { c.settings.checkCode = 1; },
         {{"checkCode", "Check Code", "E13B Code", "CMC7 Code"}}},
        {"a group unset",
         [](Configuration& c) { c.settings.msrStxAtHead = -1; },
         {{"msrStxAtHead", "MSR Data Format", "No STX At Data Head", "(none)"}}},
        {"a check box",
         [](Configuration& c) { c.settings.separator2On = 0; },
         {{"micrSeparator2On", "MICR Separate Code S2", "checked", "clear"}}},
        {"a code",
         [](Configuration& c) { c.codes[5] = 0; },
         {{"msr3EndCode", "MSR3 Data End   Code", "0x3f ?", "(none)"}}},
        {"several, in the form's order",
         [](Configuration& c) {
             c.codes[12] = '!';  // MICR error code, last in the form
             c.codes[0] = '#';   // MSR1 start code, first
             c.settings.msrLfAtEnd = 0;
             c.settings.deviceType = 1;
         },
         {{"deviceType", "Device Type", "CUSTOM", "MICR Reader"},
          {"msrLfAtEnd", "MSR Data Format", "LF At Data End", "No LF At Data End"},
          {"msr1StartCode", "MSR1 Data Start Code", "0x25 %", "0x23 #"},
          {"micrErrorCode", "MICR  Data ERR Code", "0x3f ?", "0x21 !"}}},
    };
    for (const auto& c : cases) {
        const Configuration a = DefaultReader();
        Configuration b = a;
        c.edit(b);
        const std::vector<SettingDifference> found = CompareSettings(a, b);
        ASSERT_EQ(found.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].key, c.expected[i].key) << c.what;
            EXPECT_EQ(found[i].caption, c.expected[i].caption) << c.what;
            EXPECT_EQ(found[i].valueA, c.expected[i].valueA) << c.what;
            EXPECT_EQ(found[i].valueB, c.expected[i].valueB) << c.what;
        }
    }
}

}  // namespace
