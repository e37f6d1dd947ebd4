#include "channels/serial/LineDefinition.h"

#include <gtest/gtest.h>

namespace {

TEST(LineDefinition, IsWrittenAndReadBack) {
    EXPECT_EQ(FormatLineDefinition(9600, 'N', 8, 1), "baud=9600 parity=N data=8 stop=1");
    const struct {
        const char* text;
        bool ok;
        int baud;
        char parity;
        int data;
        int stop;
    } cases[] = {
        {"baud=9600 parity=N data=8 stop=1", true, 9600, 'N', 8, 1},
        {"baud=19200 parity=e data=7 stop=2", true, 19200, 'E', 7, 2},
        {"baud=9600", true, 9600, 'N', 8, 1},
        {"parity=N data=8 stop=1", false, 0, 0, 0, 0},
        {"baud=9600 parity=X data=8 stop=1", false, 0, 0, 0, 0},
        {"baud=9600 parity=N data=9 stop=1", false, 0, 0, 0, 0},
        {"baud=fast", false, 0, 0, 0, 0},
        {"9600,n,8,1", false, 0, 0, 0, 0},
        {"", false, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        LineSettings settings;
        settings.rtsOn = true;
        EXPECT_EQ(ParseLineDefinition(c.text, settings), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(settings.baud, c.baud) << c.text;
            EXPECT_EQ(settings.parity, c.parity) << c.text;
            EXPECT_EQ(settings.dataBits, c.data) << c.text;
            EXPECT_EQ(settings.stopBits, c.stop) << c.text;
        }
        EXPECT_TRUE(settings.rtsOn);
    }
}

}  // namespace
