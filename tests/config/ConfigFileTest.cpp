#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ReaderModel.h"
#include "config/ConfigFile.h"
#include "protocol/SettingTable.h"

namespace {

using S = DeviceSettings;

Configuration DefaultReader() {
    // As a file holds it: no bytes 14 and 15.
    Configuration c = DecodeConfiguration(ReaderModel::DefaultConfig());
    c.reserved.reset();
    return c;
}

std::string DefaultFile() {
    const Configuration c = DefaultReader();
    return WriteConfigFile(c.settings, c.codes, nullptr);
}

// The text with one piece replaced; the piece must be there.
std::string Edited(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// Every radio group on its last button, every check box set, every code the
// last list entry.
Configuration AllLast() {
    Configuration c;
    for (const SettingRow& row : kSettings) {
        c.settings.*row.field = ValueCountOf(row) - 1;
    }
    c.codes.fill(kLastCodeByte);
    return c;
}

// Every radio group on its first button, every check box clear, no codes.
Configuration AllFirst() {
    Configuration c;
    for (const SettingRow& row : kSettings) {
        c.settings.*row.field = 0;
    }
    return c;
}

// The simulated reader's with a named device type, other choices and codes
// of every kind: controls, blank, quote, backslash, none.
Configuration Mixed() {
    Configuration c = DefaultReader();
    c.settings.deviceType = 5;
    c.settings.checkCode = 1;
    c.settings.msr2Standard = 3;
    c.settings.track2Limit = 0;
    c.settings.separator3On = 1;
    c.codes = {0x01, 0x20, 0x22, 0x5C, 0, 0x7E, 0x7F, 0, 0x0D, 0x0A, 0x1B, 0x02, 0x03};
    return c;
}

Configuration Edit(Configuration c, const std::function<void(Configuration&)>& edit) {
    edit(c);
    return c;
}

TEST(ConfigFile, EveryValidConfigurationReadsBackAsWritten) {
    const struct {
        const char* what;
        Configuration configuration;
    } cases[] = {
        {"the simulated reader's own", DefaultReader()},
        {"every first choice, no codes", AllFirst()},
        {"every last choice, last codes", AllLast()},
        {"a named device type, CMC7, mixed codes", Mixed()},
    };
    for (const auto& c : cases) {
        const ConfigBlock block = ReaderModel::DefaultConfig();
        for (const ConfigBlock* withBlock : {static_cast<const ConfigBlock*>(nullptr), &block}) {
            const std::string text =
                WriteConfigFile(c.configuration.settings, c.configuration.codes, withBlock);
            const ConfigFileResult read = ReadConfigFile(text);
            EXPECT_EQ(read.status, ConfigFileStatus::Ok) << c.what << "\n" << read.message;
            EXPECT_EQ(read.message, "") << c.what;
            EXPECT_EQ(read.configuration, c.configuration) << c.what << "\n" << text;
        }
    }
}

TEST(ConfigFile, EachChoiceOfEachSettingAndEachCodeByteReadsBack) {
    for (const SettingRow& b : kSettings) {
        for (int value = 0; value < ValueCountOf(b); ++value) {
            Configuration c = DefaultReader();
            c.settings.*b.field = value;
            const ConfigFileResult read =
                ReadConfigFile(WriteConfigFile(c.settings, c.codes, nullptr));
            EXPECT_EQ(read.configuration, c) << b.key << " value " << value;
        }
    }
    for (size_t slot = 0; slot < kCodes.size(); ++slot) {
        for (int byte = 0; byte <= kLastCodeByte; ++byte) {
            Configuration c = DefaultReader();
            c.codes[slot] = byte;
            const ConfigFileResult read =
                ReadConfigFile(WriteConfigFile(c.settings, c.codes, nullptr));
            EXPECT_EQ(read.configuration, c) << kCodes[slot].key << " byte " << byte;
        }
    }
}

TEST(ConfigFile, TheSimulatedReadersFileIsWrittenInTheFormsOrder) {
    // The keys and value names are the format: files in use depend on them.
    const Configuration c = DefaultReader();
    const ConfigBlock block = ReaderModel::DefaultConfig();
    EXPECT_EQ(WriteConfigFile(c.settings, c.codes, &block), R"({
  "format": "tallisk-configuration",
  "version": 1,
  "settings": {
    "deviceType": "CUSTOM",
    "checkCode": "E13B",
    "msr1CodeType": "IATA",
    "msr2CodeType": "ABA1",
    "msr3CodeType": "ABA2",
    "track1Limit": true,
    "track2Limit": true,
    "track3Limit": true,
    "msr1Standard": "ISO",
    "msr2Standard": "ISO",
    "msr3Standard": "ISO",
    "checkErrorReturn": "ALL_DATA_RETURN",
    "checkSpaceHandle": "NO_SPACE_HANDLE",
    "checkStxAtHead": "NO_STX",
    "checkEscAtHead": "NO_ESC",
    "checkEtxAtEnd": "NO_ETX",
    "checkCrAtEnd": "CR",
    "checkLfAtEnd": "LF",
    "msrErrorReturn": "ALL_DATA_RETURN",
    "msrStxAtHead": "NO_STX",
    "msrEscAtHead": "NO_ESC",
    "msrEtxAtEnd": "NO_ETX",
    "msrCrAtEnd": "CR",
    "msrLfAtEnd": "LF",
    "msr1StartCodeOn": true,
    "msr1EndCodeOn": true,
    "msr2StartCodeOn": true,
    "msr2EndCodeOn": true,
    "msr3StartCodeOn": true,
    "msr3EndCodeOn": true,
    "msrErrorCodeOn": true,
    "micrSeparator1On": true,
    "micrSeparator2On": true,
    "micrSeparator3On": true,
    "micrSeparator4On": true,
    "micrSeparator5On": true
  },
  "codes": {
    "msr1StartCode": "0x25",
    "msr1EndCode": "0x3f",
    "msr2StartCode": "0x3b",
    "msr2EndCode": "0x3f",
    "msr3StartCode": "0x3b",
    "msr3EndCode": "0x3f",
    "msrErrorCode": "0x2a",
    "micrSeparator1": "0x41",
    "micrSeparator2": "0x42",
    "micrSeparator3": "0x43",
    "micrSeparator4": "0x44",
    "micrSeparator5": "0x45",
    "micrErrorCode": "0x3f"
  },
  "block": "30 43 41 42 43 44 45 3F 20 00 10 07 2A 00 12 34 23 3F 25 3F 3B 3F 3B 3F"
}
)");
}

TEST(ConfigFile, AcceptedVariations) {
    const struct {
        const char* what;
        std::string text;
        std::function<void(Configuration&)> expect;
    } cases[] = {
        {"device type left out is CUSTOM",
         Edited(Edited(DefaultFile(), R"("deviceType": "CUSTOM",)", ""), R"("checkCode": "E13B")",
                R"("checkCode": "CMC7")"),
         [](Configuration& c) { c.settings.checkCode = 1; }},
        {"a named device type",
         Edited(DefaultFile(), R"("deviceType": "CUSTOM")", R"("deviceType": "ZORVANE")"),
         [](Configuration& c) { c.settings.deviceType = 7; }},
        {"the block is not read", Edited(DefaultFile(), "\n}", ",\n\"block\": [1, 2]\n}"),
         [](Configuration&) {}},
        {"every escape JSON has, in keys and values",
         Edited(Edited(DefaultFile(), R"("checkCode": "E13B")",
                       R"("\u0063heck\u0043ode": "E\u00313B")"),
                "\n}",
                ",\r\n\t"
                R"("block": "\" \\ \/ \b \f \n \r \t \ud83d\ude00 机型")"
                "\n}"),
         [](Configuration&) {}},
        {"code hex in capitals, one digit, no code",
         Edited(Edited(Edited(DefaultFile(), R"("0x25")", R"("0X2A")"), R"("0x41")", R"("0x7")"),
                R"("micrErrorCode": "0x3f")", R"("micrErrorCode": null)"),
         [](Configuration& c) {
             c.codes[0] = 0x2A;   // MSR1 start
             c.codes[7] = 0x07;   // S1
             c.codes[12] = 0x00;  // MICR error
         }},
        {"members in any order, on one line",
         R"({"codes": {"msr1StartCode": "0x25", "msr1EndCode": "0x3f", "msr2StartCode": "0x3b",)"
         R"("msr2EndCode": "0x3f", "msr3StartCode": "0x3b", "msr3EndCode": "0x3f",)"
         R"("msrErrorCode": "0x2a", "micrSeparator1": "0x41", "micrSeparator2": "0x42",)"
         R"("micrSeparator3": "0x43", "micrSeparator4": "0x44", "micrSeparator5": "0x45",)"
         R"("micrErrorCode": "0x3f"}, "version": 1, "settings": {)"
         R"("micrSeparator5On": true, "micrSeparator4On": true, "micrSeparator3On": true,)"
         R"("micrSeparator2On": true, "micrSeparator1On": true, "msrErrorCodeOn": true,)"
         R"("msr3EndCodeOn": true, "msr3StartCodeOn": true, "msr2EndCodeOn": true,)"
         R"("msr2StartCodeOn": true, "msr1EndCodeOn": true, "msr1StartCodeOn": true,)"
         R"("msrLfAtEnd": "LF", "msrCrAtEnd": "CR", "msrEtxAtEnd": "NO_ETX",)"
         R"("msrEscAtHead": "NO_ESC", "msrStxAtHead": "NO_STX", "msrErrorReturn": "ALL_DATA_RETURN",)"
         R"("checkLfAtEnd": "LF", "checkCrAtEnd": "CR", "checkEtxAtEnd": "NO_ETX",)"
         R"("checkEscAtHead": "NO_ESC", "checkStxAtHead": "NO_STX",)"
         R"("checkSpaceHandle": "NO_SPACE_HANDLE", "checkErrorReturn": "ALL_DATA_RETURN",)"
         R"("msr3Standard": "ISO", "msr2Standard": "ISO", "msr1Standard": "ISO",)"
         R"("track3Limit": true, "track2Limit": true, "track1Limit": true,)"
         R"("msr3CodeType": "ABA2", "msr2CodeType": "ABA1", "msr1CodeType": "IATA",)"
         R"("checkCode": "E13B"}, "format": "tallisk-configuration"})",
         [](Configuration&) {}},
    };
    for (const auto& c : cases) {
        Configuration expected = DefaultReader();
        c.expect(expected);
        const ConfigFileResult read = ReadConfigFile(c.text);
        EXPECT_EQ(read.status, ConfigFileStatus::Ok) << c.what << "\n" << read.message;
        EXPECT_EQ(read.configuration, expected) << c.what;
    }
}

TEST(ConfigFile, RefusedFilesSayWhatIsWrongAndWhatIsAllowed) {
    using St = ConfigFileStatus;
    const std::string file = DefaultFile();
    const struct {
        const char* what;
        std::string text;
        ConfigFileStatus status;
        std::vector<std::string> fragments;
    } cases[] = {
        {"empty", "", St::Malformed, {"not valid JSON"}},
        {"cut short", file.substr(0, file.size() / 2), St::Malformed, {"not valid JSON at line 2"}},
        {"trailing comma",
         Edited(file, R"("0x3f"
  })",
                R"("0x3f",
  })"),
         St::Malformed,
         {"not valid JSON"}},
        {"an array", "[1, 2]", St::Malformed, {"not a configuration file", "not a JSON object"}},
        {"no format",
         Edited(file, R"("format": "tallisk-configuration",)", ""),
         St::NotConfiguration,
         {R"("format" must be "tallisk-configuration"; found nothing)"}},
        {"another format",
         Edited(file, "tallisk-configuration", "tallisk-config"),
         St::NotConfiguration,
         {R"("format" must be "tallisk-configuration"; found "tallisk-config")"}},
        {"a later version",
         Edited(file, R"("version": 1)", R"("version": 2)"),
         St::UnknownVersion,
         {"version 2 is not known", "known versions: 1"}},
        {"version zero",
         Edited(file, R"("version": 1)", R"("version": 0)"),
         St::UnknownVersion,
         {"version 0 is not known; known versions: 1"}},
        {"version as text",
         Edited(file, R"("version": 1)", R"("version": "1")"),
         St::UnknownVersion,
         {R"("version" must be a whole number; found "1"; known versions: 1)"}},
        {"version 1.5",
         Edited(file, R"("version": 1)", R"("version": 1.5)"),
         St::UnknownVersion,
         {"must be a whole number; found 1.5"}},
        {"no version",
         Edited(file, R"("version": 1,)", ""),
         St::UnknownVersion,
         {R"("version" must be a whole number; found nothing; known versions: 1)"}},
        {"unknown setting",
         Edited(file, R"("checkCode")", R"("checkKode")"),
         St::BadContent,
         {R"(unknown setting "checkKode")",
          R"(setting "checkCode" (Check Code) is missing; it must be one of "E13B", "CMC7")"}},
        {"no such choice",
         Edited(file, R"("E13B")", R"("E14B")"),
         St::BadContent,
         {R"(setting "checkCode" (Check Code) must be one of "E13B", "CMC7"; found "E14B")"}},
        {"a label is not a name",
         Edited(file, R"("msr1Standard": "ISO")", R"("msr1Standard": "B/C")"),
         St::BadContent,
         {R"(setting "msr1Standard" (MSR1 Standards) must be one of "ISO", "IBMF", "IBMC", "BC", )"
          R"("BFC", "DIN"; found "B/C")"}},
        {"a radio as a number",
         Edited(file, R"("msr2CodeType": "ABA1")", R"("msr2CodeType": 0)"),
         St::BadContent,
         {R"(setting "msr2CodeType" (MSR2 Code) must be one of "ABA1", "ABA2", "IATA"; found 0)"}},
        {"a check box as a number",
         Edited(file, R"("track1Limit": true)", R"("track1Limit": 1)"),
         St::BadContent,
         {R"(setting "track1Limit" (Track1) must be true or false; found 1)"}},
        {"a check box as text",
         Edited(file, R"("micrSeparator2On": true)", R"("micrSeparator2On": "true")"),
         St::BadContent,
         {R"(setting "micrSeparator2On" (MICR Separate Code S2) must be true or false; found "true")"}},
        {"a group left unset",
         Edited(file, R"("checkStxAtHead": "NO_STX")", R"("checkStxAtHead": null)"),
         St::BadContent,
         {R"(setting "checkStxAtHead" (Check Data Format) must be one of "NO_STX", "STX"; found null)"}},
        {"a device type left unset",
         Edited(file, R"("deviceType": "CUSTOM")", R"("deviceType": null)"),
         St::BadContent,
         {R"(setting "deviceType" (Device Type) must be one of "CUSTOM", )"}},
        {"a setting missing",
         Edited(file, R"("msrLfAtEnd": "LF",)", ""),
         St::BadContent,
         {R"(setting "msrLfAtEnd" (MSR Data Format) is missing; it must be one of "NO_LF", "LF")"}},
        {"a check box missing",
         Edited(file, R"("msr3EndCodeOn": true,)", ""),
         St::BadContent,
         {R"(setting "msr3EndCodeOn" (MSR3 Data End   Code) is missing; it must be true or false)"}},
        {"a code missing",
         Edited(file, R"("micrSeparator4": "0x44",)", ""),
         St::BadContent,
         {R"(code "micrSeparator4" (MICR Separate Code S4) is missing; it must be a byte "0x01" )"
          R"(to "0x7f", or null for none)"}},
        {"a code past the lists",
         Edited(file, R"("0x25")", R"("0x80")"),
         St::BadContent,
         {R"(code "msr1StartCode" (MSR1 Data Start Code) must be a byte "0x01" to "0x7f", or null )"
          R"(for none; found "0x80")"}},
        {"code 0 is written null",
         Edited(file, R"("0x2a")", R"("0x00")"),
         St::BadContent,
         {R"(code "msrErrorCode" (MSR  Data ERR   Code) must be a byte)", R"(found "0x00")"}},
        {"a code as a number",
         Edited(file, R"("micrErrorCode": "0x3f")", R"("micrErrorCode": 63)"),
         St::BadContent,
         {R"(code "micrErrorCode" (MICR  Data ERR Code) must be a byte)", "found 63"}},
        {"a code as its character",
         Edited(file, R"("0x25")", R"("%")"),
         St::BadContent,
         {R"(found "%")"}},
        {"a code with too many digits",
         Edited(file, R"("0x25")", R"("0x025")"),
         St::BadContent,
         {R"(found "0x025")"}},
        {"an unknown code",
         Edited(file, R"("micrErrorCode")", R"("micrErrorKode")"),
         St::BadContent,
         {R"(unknown code "micrErrorKode")", R"(code "micrErrorCode" )"}},
        {"an unknown member",
         Edited(file, R"("version": 1,)", R"("version": 1, "comment": "x",)"),
         St::BadContent,
         {R"(unknown member "comment")"}},
        {"settings not an object",
         Edited(file, R"("settings": {)", R"("settings": [], "x": {)"),
         St::BadContent,
         {R"("settings" must be an object of named settings; found an array)"}},
        {"no codes",
         "{\"format\": \"tallisk-configuration\", \"version\": 1, \"settings\": {}}",
         St::BadContent,
         {R"("codes" must be an object of named codes; found nothing)",
          R"(setting "checkCode" (Check Code) is missing)"}},
    };
    for (const auto& c : cases) {
        const ConfigFileResult read = ReadConfigFile(c.text);
        EXPECT_EQ(read.status, c.status) << c.what << "\n" << read.message;
        EXPECT_EQ(read.configuration, Configuration{}) << c.what;
        for (const std::string& fragment : c.fragments) {
            EXPECT_NE(read.message.find(fragment), std::string::npos)
                << c.what << "\nexpected: " << fragment << "\nmessage: " << read.message;
        }
    }
}

// Every message is printable ASCII, one problem a line: nothing of the file
// reaches the terminal raw.
void ExpectOnlyPrintable(const std::string& message, const char* what) {
    for (const char c : message) {
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f))
            << what << ": byte " << static_cast<int>(static_cast<unsigned char>(c)) << "\n"
            << message;
    }
}

TEST(ConfigFile, StrictJsonIsRequiredAndEachRefusalSaysWhere) {
    using namespace std::string_literals;
    using St = ConfigFileStatus;
    const std::string file = DefaultFile();
    const std::string checkCode = R"("checkCode": "E13B")";
    // The default file: "version" on line 3, "checkCode" on line 6 from column 5.
    const struct {
        const char* what;
        std::string text;
        ConfigFileStatus status;
        std::string message;  // whole, or the first line of several
    } cases[] = {
        {"a setting given twice, the last a valid one",
         Edited(file, checkCode, R"("checkCode": "BOGUS",
    "checkCode": "E13B")"),
         St::Malformed,
         R"(not valid JSON at line 7, column 5 (in settings): the key "checkCode" is given twice )"
         R"((first at line 6, column 5); a key may be given once)"},
        {"the version given twice",
         Edited(file, R"("version": 1)", R"("version": 2, "version": 1)"), St::Malformed,
         R"(not valid JSON at line 3, column 17: the key "version" is given twice (first at )"
         R"(line 3, column 3); a key may be given once)"},
        {"a key given twice, once spelled with escapes",
         Edited(file, checkCode, R"("checkCode": "E13B", "\u0063heckCode": "CMC7")"), St::Malformed,
         R"(not valid JSON at line 6, column 26 (in settings): the key "checkCode" is given )"
         R"(twice (first at line 6, column 5); a key may be given once)"},
        {"a key given twice in the block, which is not read",
         Edited(file, "\n}", ",\n\"block\": [{\"a\": 1, \"a\": 1}]\n}"), St::Malformed,
         R"(not valid JSON at line 57, column 20 (in block[0]): the key "a" is given twice )"
         R"((first at line 57, column 12); a key may be given once)"},
        {"an escape JSON has not", Edited(file, checkCode, R"("checkCode": "E1\c3B")"),
         St::Malformed,
         R"(not valid JSON at line 6, column 21 (in settings.checkCode): a string holds the )"
         R"(escape "\\c", which JSON has not; it has \" \\ \/ \b \f \n \r \t and \u with four )"
         R"(hex digits)"},
        {"a \\u without four hex digits", Edited(file, checkCode, R"("checkCode": "\u45")"),
         St::Malformed,
         R"(not valid JSON at line 6, column 19 (in settings.checkCode): the escape "\\u" takes )"
         R"(four hex digits)"},
        {"half a surrogate pair", Edited(file, checkCode, R"("checkCode": "\ud800E13B")"),
         St::Malformed,
         R"(not valid JSON at line 6, column 19 (in settings.checkCode): "\\ud800" is the first )"
         R"(half of a UTF-16 surrogate pair without the second)"},
        {"a raw control character in a value",
         Edited(file, checkCode,
                "\"checkCode\": \"E1\x01"
                "3B\""),
         St::Malformed,
         R"(not valid JSON at line 6, column 21 (in settings.checkCode): a string holds the )"
         R"(control character \x01 as it is; JSON writes it \u0001)"},
        {"a raw line feed in a value",
         Edited(file, checkCode, "\"checkCode\": \"E13B\ntallisk-cli: /dev/ttyS0: verified\""),
         St::Malformed,
         R"(not valid JSON at line 6, column 23 (in settings.checkCode): a string holds the )"
         R"(control character \n as it is; JSON writes it \u000a)"},
        {"a raw NUL in a key", Edited(file, checkCode, "\"check\0Code\": \"E13B\""s), St::Malformed,
         R"(not valid JSON at line 6, column 11 (in settings): a string holds the control )"
         R"(character \x00 as it is; JSON writes it \u0000)"},
        {"a byte that is not UTF-8", Edited(file, checkCode, "\"checkCode\": \"E13B\xff\""),
         St::Malformed,
         R"(not valid JSON at line 6, column 23 (in settings.checkCode): a string holds the )"
         R"(byte \xff, which does not begin a UTF-8 character here)"},
        {"a byte order mark", "\xef\xbb\xbf" + file, St::Malformed,
         R"(not valid JSON at line 1, column 1: a value (an object, array, string, number, )"
         R"(true, false or null) belongs here; found "\xef")"},
        {"a version with a fraction that rounds to 1",
         Edited(file, R"("version": 1)", R"("version": 0.99999999999999999999)"),
         St::UnknownVersion,
         R"("version" must be a whole number; found 0.99999999999999999999; known versions: 1)"},
        {"version 1.0", Edited(file, R"("version": 1)", R"("version": 1.0)"), St::UnknownVersion,
         R"("version" must be a whole number; found 1.0; known versions: 1)"},
        {"version 1e0", Edited(file, R"("version": 1)", R"("version": 1E0)"), St::UnknownVersion,
         R"("version" must be a whole number; found 1E0; known versions: 1)"},
        {"a version past any int",
         Edited(file, R"("version": 1)", R"("version": 100000000000000000001)"), St::UnknownVersion,
         R"(version 100000000000000000001 is not known; known versions: 1)"},
        {"a version with a leading zero", Edited(file, R"("version": 1)", R"("version": 01)"),
         St::Malformed,
         R"(not valid JSON at line 3, column 15 (in version): a number begins with 0 and )"
         R"(another digit)"},
        {"a number as written in a setting's refusal",
         Edited(file, R"("track1Limit": true)", R"("track1Limit": 1.0)"), St::BadContent,
         R"(setting "track1Limit" (Track1) must be true or false; found 1.0)"},
        {"a NUL in a key, escaped", Edited(file, R"("checkCode")", R"("check\u0000Code")"),
         St::BadContent, R"(unknown setting "check\x00Code")"},
        {"ESC and a bell in a value",
         Edited(file, checkCode, R"("checkCode": "\u001b]0;owned\u0007\u001b[2J")"), St::BadContent,
         R"(setting "checkCode" (Check Code) must be one of "E13B", "CMC7"; found )"
         R"("\x1b]0;owned\x07\x1b[2J")"},
        {"a key that would forge a line of its own",
         Edited(file, R"("format")",
                R"("\ntallisk-cli: /dev/ttyS0: verified, written ok\n": 1, "format")"),
         St::BadContent,
         R"(unknown member "\ntallisk-cli: /dev/ttyS0: verified, written ok\n"; a file holds )"
         R"("format", "version", "settings", "codes" and "block")"},
        {"a format with a NUL",
         Edited(file, R"("tallisk-configuration")", R"("tallisk-configuration\u0000")"),
         St::NotConfiguration,
         R"(not a configuration file: "format" must be "tallisk-configuration"; found )"
         R"("tallisk-configuration\x00")"},
        {"text after the object", file + "{}", St::Malformed,
         R"(not valid JSON at line 58, column 1: the text goes on after the JSON value: found "{")"},
        {"arrays nested past the bound",
         Edited(file, "\n}",
                ",\n\"block\": " + std::string(40, '[') + std::string(40, ']') + "\n}"),
         St::Malformed,
         R"(not valid JSON at line 57, column 41 (in block[0][0][0][0][0][0][0][0][0][0][0][0][0])"
         R"([0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0]): objects and arrays nest )"
         R"(deeper than 32 levels)"},
    };
    for (const auto& c : cases) {
        const ConfigFileResult read = ReadConfigFile(c.text);
        EXPECT_EQ(read.status, c.status) << c.what << "\n" << read.message;
        EXPECT_EQ(read.configuration, Configuration{}) << c.what;
        EXPECT_EQ(read.message.substr(0, read.message.find('\n')), c.message) << c.what;
        ExpectOnlyPrintable(read.message, c.what);
    }
}

TEST(ConfigFile, EveryProblemIsReportedOnALineOfItsOwn) {
    std::string text = DefaultFile();
    text = Edited(text, R"("E13B")", R"("E14B")");
    text = Edited(text, R"("msr3StartCodeOn": true,)", "");
    text = Edited(text, R"("0x45")", R"("0xff")");
    const ConfigFileResult read = ReadConfigFile(text);
    EXPECT_EQ(read.status, ConfigFileStatus::BadContent);
    EXPECT_EQ(
        read.message,
        R"(setting "checkCode" (Check Code) must be one of "E13B", "CMC7"; found "E14B")"
        "\n"
        R"(setting "msr3StartCodeOn" (MSR3 Data Start Code) is missing; it must be true or )"
        R"(false)"
        "\n"
        R"(code "micrSeparator5" (MICR Separate Code S5) must be a byte "0x01" to "0x7f", or )"
        R"(null for none; found "0xff")");
}

TEST(ConfigFile, SettingsThatNameNoChoiceAreWrittenNullAndRefusedOnReading) {
    // The window before any configuration read: every radio group but the
    // device type unchecked. And a block whose fields name no radio.
    ConfigBlock odd = ReaderModel::DefaultConfig();
    odd[8] = 0x37;  // MSR1: code type 3, standard 7
    const struct {
        const char* what;
        Configuration configuration;
        std::vector<std::string> nullKeys;
    } cases[] = {
        {"the window at start",
         Configuration{},
         {"checkCode",        "msr1CodeType",   "msr2CodeType",   "msr3CodeType",
          "msr1Standard",     "msr2Standard",   "msr3Standard",   "checkErrorReturn",
          "checkSpaceHandle", "checkStxAtHead", "checkEscAtHead", "checkEtxAtEnd",
          "checkCrAtEnd",     "checkLfAtEnd",   "msrErrorReturn", "msrStxAtHead",
          "msrEscAtHead",     "msrEtxAtEnd",    "msrCrAtEnd",     "msrLfAtEnd"}},
        {"fields past the last radio", DecodeConfiguration(odd), {"msr1CodeType", "msr1Standard"}},
        {"a device type that is no digit",
         Edit(DefaultReader(), [](Configuration& c) { c.settings.deviceType = 'A' - '0'; }),
         {"deviceType"}},
    };
    for (const auto& c : cases) {
        const std::string text =
            WriteConfigFile(c.configuration.settings, c.configuration.codes, nullptr);
        for (const std::string& key : c.nullKeys) {
            EXPECT_NE(text.find("\"" + key + "\": null"), std::string::npos) << c.what << key;
        }
        const ConfigFileResult read = ReadConfigFile(text);
        EXPECT_EQ(read.status, ConfigFileStatus::BadContent) << c.what;
        size_t lines = 1;
        for (char ch : read.message) {
            lines += ch == '\n' ? 1 : 0;
        }
        EXPECT_EQ(lines, c.nullKeys.size()) << c.what << "\n" << read.message;
        for (const std::string& key : c.nullKeys) {
            EXPECT_NE(read.message.find("setting \"" + key + "\""), std::string::npos)
                << c.what << key;
        }
    }
}

}  // namespace
