#include <gtest/gtest.h>

#include "ReaderModel.h"
#include "protocol/Configuration.h"

namespace {

TEST(Configuration, CodesAreTakenAsTheWindowsListsTakeThem) {
    ConfigBlock block = ReaderModel::DefaultConfig();
    block[2] = 0x00;   // S1: nothing selected
    block[3] = 0x7F;   // S2: the last entry
    block[4] = 0x80;   // S3: no such entry, nothing selected
    block[18] = 0xFF;  // MSR1 start: likewise
    block[23] = 0x01;  // MSR3 end: the first entry
    const CodeValues codes = DecodeBlockCodes(block);
    // kCodes order: MSR1 start to MSR3 end, MSR error, S1 to S5, MICR error.
    const CodeValues expected = {0x00, '?',  ';',  '?', ';', 0x01, '*',
                                 0x00, 0x7F, 0x00, 'D', 'E', '?'};
    EXPECT_EQ(codes, expected);
}

TEST(Configuration, EncodingKeepsWhatNoSettingCoversFromTheReportedBlock) {
    const ConfigBlock reported = ReaderModel::DefaultConfig();
    EXPECT_EQ(EncodeConfiguration(DecodeConfiguration(reported)), reported);

    Configuration c = DecodeConfiguration(reported);
    c.settings.checkCode = 1;
    c.codes[7] = 0x80;  // S1, out of the lists' range: sent as none
    c.codes[5] = 0x25;  // MSR3 end
    const ConfigBlock block = EncodeConfiguration(c);
    ConfigBlock expected = reported;
    expected[1] = 0xC3;
    expected[2] = 0x00;
    expected[23] = 0x25;
    EXPECT_EQ(block, expected);
    EXPECT_EQ(block[14], 0x12);
    EXPECT_EQ(block[15], 0x34);

    // Without a reported block, bytes 14 and 15 are not known: zeros.
    c.reserved.reset();
    EXPECT_EQ(EncodeConfiguration(c)[14], 0x00);
    EXPECT_EQ(EncodeConfiguration(c)[15], 0x00);
}

TEST(Configuration, ABlockAlwaysMakesTheReaderCustom) {
    ConfigBlock reported = ReaderModel::DefaultConfig();
    reported[0] = '3';
    Configuration c = DecodeConfiguration(reported);
    EXPECT_EQ(c.settings.deviceType, 3);
    EXPECT_EQ(EncodeConfiguration(c)[0], '0');
}

}  // namespace
