#include "ReaderModel.h"

#include <gtest/gtest.h>

#include "ReadFormatter.h"

namespace {

using Bytes = std::vector<uint8_t>;
const Bytes kAck = {0x1B, '0'};
const Bytes kRefusal = {0x1B, '1'};

TEST(ReaderModel, CommandsChangeTheConfigurationAndAreAcknowledged) {
    const struct {
        Bytes frame;
        int byte;
        uint8_t value;
    } cases[] = {
        {{0x1B, 'A', '3'}, 0, '3'},   {{0x1B, 'B', '1'}, 1, 0xC3},  {{0x1B, 'C', '5'}, 8, 0x25},
        {{0x1B, 'D', '2'}, 9, 0x02},  {{0x1B, 'E', '0'}, 10, 0x10}, {{0x1B, 'F', 0x09}, 8, 0x10},
        {{0x1B, 'F', 0x09}, 9, 0x20}, {{0x1B, 'G', '5'}, 11, 0x05},
    };
    for (const auto& c : cases) {
        ReaderModel reader;
        EXPECT_EQ(reader.HandleFrame(c.frame), kAck);
        EXPECT_EQ(reader.Config()[static_cast<size_t>(c.byte)], c.value) << int{c.frame[1]};
    }
}

TEST(ReaderModel, ReadWriteAndResetTheWholeBlock) {
    ReaderModel reader;
    const ConfigBlock defaults = ReaderModel::DefaultConfig();
    EXPECT_EQ(reader.HandleFrame(Bytes{0x1B, 'R'}), Bytes(defaults.begin(), defaults.end()));
    Bytes write = {0x1B, 'S'};
    write.insert(write.end(), defaults.begin(), defaults.end());
    write[2 + 14] = 0xAB;
    EXPECT_EQ(reader.HandleFrame(write), kAck);
    EXPECT_EQ(reader.Config()[14], 0xAB);
    EXPECT_EQ(reader.HandleFrame(Bytes{0x1B, 'U'}), kAck);
    EXPECT_EQ(reader.Config(), defaults);
}

TEST(ReaderModel, RefusesWhatItCannotTakeAndMisbehavesOnDemand) {
    ReaderModel reader;
    for (const Bytes& frame : {Bytes{0x1B, 'A', '0'}, Bytes{0x1B, 'C', '6'}, Bytes{0x1B, 'F', 0x03},
                               Bytes{0x1B, 'Z'}, Bytes{0x1B, 'G'}}) {
        EXPECT_EQ(reader.HandleFrame(frame), kRefusal);
    }
    EXPECT_EQ(reader.Config(), ReaderModel::DefaultConfig());
    reader.faults.refuse = true;
    EXPECT_EQ(reader.HandleFrame(Bytes{0x1B, 'e'}), kRefusal);
    reader.faults = {};
    reader.faults.silent = true;
    EXPECT_TRUE(reader.HandleFrame(Bytes{0x1B, 'R'}).empty());
    reader.faults = {};
    reader.faults.garbage = true;
    EXPECT_NE(reader.HandleFrame(Bytes{0x1B, 'e'}), kAck);
}

TEST(FrameAssembler, CutsAStreamIntoFrames) {
    FrameAssembler assembler;
    Bytes stream = {'x', 0x1B, 'R', 0x1B, 'G'};
    EXPECT_EQ(assembler.Add(stream).size(), 1u);  // ESC 'G' waits for its digit
    const auto frames = assembler.Add(Bytes{'7', 0x1B, 'U'});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], (Bytes{0x1B, 'G', '7'}));
    EXPECT_EQ(frames[1], (Bytes{0x1B, 'U'}));
}

TEST(ReadFormatter, ChequeReadsFollowTheConfiguration) {
    ConfigBlock config = ReaderModel::DefaultConfig();
    EXPECT_EQ(FormatChequeRead(config, "T12T 3O"),
              (Bytes{'A', '1', '2', 'A', '3', 'B', 0x0D, 0x0A}));
    config[1] = 0x1C | 0x20 | 0x40;  // STX, ESC, ETX, spaces kept, all data
    config[13] = 0x01;               // S1 off
    EXPECT_EQ(FormatChequeRead(config, "T1 ?O"), (Bytes{0x02, 0x1B, '1', ' ', '?', 'B', 0x03}));
    config[1] = 0x00;  // not returned on error: only the error code
    EXPECT_EQ(FormatChequeRead(config, "T1?"), (Bytes{'?'}));
}

TEST(ReadFormatter, CardReadsCarryStartAndEndCodes) {
    ConfigBlock config = ReaderModel::DefaultConfig();
    config[11] = 0x03;  // tracks 1 and 2
    config[16] = 0x00;  // no framing
    EXPECT_EQ(FormatCardRead(config, {"AB", "12", "99"}),
              (Bytes{'%', 'A', 'B', '?', ';', '1', '2', '?'}));
    config[17] = 0x04;  // only track 2's start code
    EXPECT_EQ(FormatCardRead(config, {"", "1?", ""}), (Bytes{';', '*'}));
}

}  // namespace
