#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "ReportDescriptors.h"
#include "platform/hid/HidReportDescriptor.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace report_items;

struct Case {
    std::string name;
    Bytes descriptor;
    HidReportLengths lengths;
    bool usesReportIds;
};

void ExpectParses(const Case& c) {
    const ParsedReportLengths parsed = ParseReportLengths(c.descriptor);
    EXPECT_TRUE(parsed.wellFormed) << c.name;
    EXPECT_EQ(parsed.lengths.input, c.lengths.input) << c.name;
    EXPECT_EQ(parsed.lengths.output, c.lengths.output) << c.name;
    EXPECT_EQ(parsed.lengths.feature, c.lengths.feature) << c.name;
    EXPECT_EQ(parsed.usesReportIds, c.usesReportIds) << c.name;
}

TEST(ReportDescriptorLengths, LongestReportOfEachKindPlusTheIdByte) {
    const Case cases[] = {
        {"empty descriptor", {}, {0, 0, 0}, false},
        {"vendor 64-byte feature report", kVendorFeature64, {0, 0, 65}, false},
        {"vendor 8-byte reports of every kind", kVendorAllKinds8, {9, 9, 9}, false},
        {"boot mouse: buttons, padding and axes share one report", kBootMouse, {4, 0, 0}, false},
        {"boot keyboard: 5 LED bits and 3 padding bits make one output byte",
         kBootKeyboard,
         {9, 2, 0},
         false},
        {"bits round up to a whole byte",
         Cat({kVendorCollection, Size(1), Count(9), Input(), kEnd}),
         {3, 0, 0},
         false},
        {"numbered feature reports: the longest id wins",
         Cat({kVendorCollection, Size(8), Id(1), Count(8), Feature(), Id(2), Count(32), Feature(),
              Id(3), Count(16), Feature(), kEnd}),
         {0, 0, 33},
         true},
        {"one id per kind",
         Cat({kVendorCollection, Size(8), Id(1), Count(4), Input(), Id(2), Count(16), Output(),
              Id(3), Count(2), Feature(), kEnd}),
         {5, 17, 3},
         true},
        {"one id used by every kind: kinds are not added up",
         Cat({kVendorCollection, Size(8), Id(7), Count(4), Input(), Count(6), Output(), Count(10),
              Feature(), kEnd}),
         {5, 7, 11},
         true},
        {"items split across two visits of one id add up",
         Cat({kVendorCollection, Size(8), Id(1), Count(4), Feature(), Id(2), Count(6), Feature(),
              Id(1), Count(5), Feature(), kEnd}),
         {0, 0, 10},
         true},
        {"items before the first id form their own report",
         Cat({kVendorCollection, Size(8), Count(12), Input(), Id(1), Count(3), Input(), kEnd}),
         {13, 0, 0},
         true},
        {"two top-level collections", Cat({kBootKeyboard, kVendorFeature64}), {9, 2, 65}, false},
        {"Pop restores size and count",
         Cat({kVendorCollection, Size(8), Count(4), kPush, Size(16), Count(10), Input(), kPop,
              Output(), kEnd}),
         {21, 5, 0},
         false},
        {"Pop restores the report id",
         Cat({kVendorCollection, Size(8), Id(1), kPush, Id(2), Count(4), Feature(), kPop, Count(4),
              Feature(), kEnd}),
         {0, 0, 5},
         true},
        {"nested Push and Pop",
         Cat({kVendorCollection, Size(8), Count(1), kPush, Count(2), kPush, Count(3), kPop, Input(),
              kPop, Output(), kEnd}),
         {3, 2, 0},
         false},
        {"two- and four-byte data",
         Cat({kVendorCollection, Bytes{0x77, 0x08, 0x00, 0x00, 0x00}, Bytes{0x96, 0x00, 0x01},
              Bytes{0xB2, 0x02, 0x01}, kEnd}),
         {0, 0, 257},
         false},
        {"long item skipped, its data not read as items",
         Cat({kVendorCollection, Size(8), Count(8), Bytes{0xFE, 0x04, 0x10, 0xB1, 0x02, 0x95, 0x40},
              Feature(), kEnd}),
         {0, 0, 9},
         false},
        {"empty long item", Cat({Bytes{0xFE, 0x00, 0x20}, kVendorFeature64}), {0, 0, 65}, false},
        {"local and reserved items ignored",
         Cat({kVendorCollection, Size(8), Count(2), Bytes{0x0C, 0x1D, 0x01, 0xF4}, Feature(),
              kEnd}),
         {0, 0, 3},
         false},
        {"items without bits make no report",
         Cat({kVendorCollection, Size(8), Count(0), Input(), Size(0), Count(5), Feature(), kEnd}),
         {0, 0, 0},
         false},
        {"zero bytes are empty main items", Bytes(6, 0x00), {0, 0, 0}, false},
        {"longest report a length holds",
         Cat({kVendorCollection, Bytes{0x76, 0xFD, 0xFF}, Count(8), Feature(), kEnd}),
         {0, 0, 0xFFFE},
         false},
    };
    for (const Case& c : cases) {
        ExpectParses(c);
    }
}

struct MalformedCase {
    std::string name;
    Bytes descriptor;
    HidReportLengths known;  // from the items before the fault
};

TEST(ReportDescriptorLengths, FaultStopsTheWalkAndKeepsWhatWasCounted) {
    const Bytes before = Cat({kVendorCollection, Size(8), Count(8), Feature()});
    const MalformedCase cases[] = {
        {"cut inside a one-byte item", Cat({before, Bytes{0x95}}), {0, 0, 9}},
        {"cut inside a four-byte item", Cat({before, Bytes{0x77, 0x08, 0x00}}), {0, 0, 9}},
        {"long item without its size", Cat({before, Bytes{0xFE}}), {0, 0, 9}},
        {"long item without its tag", Cat({before, Bytes{0xFE, 0x00}}), {0, 0, 9}},
        {"long item cut inside its data", Cat({before, Bytes{0xFE, 0x05, 0x10, 1, 2}}), {0, 0, 9}},
        {"Pop without Push", Cat({before, kPop, Count(64), Feature()}), {0, 0, 9}},
        {"report id 0", Cat({before, Id(0), Count(64), Feature()}), {0, 0, 9}},
        {"report id above 255",
         Cat({before, Bytes{0x86, 0x00, 0x01}, Count(64), Feature()}),
         {0, 0, 9}},
        {"report longer than a length holds",
         Cat({kVendorCollection, Bytes{0x77, 0xFF, 0xFF, 0xFF, 0xFF},
              Bytes{0x97, 0xFF, 0xFF, 0xFF, 0xFF}, Input(), Input(), Output(), kEnd}),
         {0xFFFF, 0xFFFF, 0}},
        {"report one byte past the longest length",
         Cat({kVendorCollection, Bytes{0x76, 0xFE, 0xFF}, Count(8), Feature(), kEnd}),
         {0, 0, 0xFFFF}},
    };
    for (const MalformedCase& c : cases) {
        const ParsedReportLengths parsed = ParseReportLengths(c.descriptor);
        EXPECT_FALSE(parsed.wellFormed) << c.name;
        EXPECT_EQ(parsed.lengths, c.known) << c.name;
    }
}

// Every cut of a valid descriptor is read safely; a cut between items is a
// valid, shorter descriptor, a cut inside an item is flagged, and no cut
// gives a longer report than the whole.
TEST(ReportDescriptorLengths, EveryCutOfAValidDescriptorIsReadSafely) {
    const std::vector<Bytes> items = {
        {0x06, 0x00, 0xFF},              // Usage Page, two data bytes
        {0x09, 0x01},                    // Usage
        {0xA1, 0x01},                    // Collection
        Size(8),                         //
        {0x96, 0x10, 0x00},              // Report Count (16), two data bytes
        {0xFE, 0x02, 0x00, 0xAA, 0xBB},  // long item
        kPush,                           //
        {0x77, 0x10, 0x00, 0x00, 0x00},  // Report Size (16), four data bytes
        Input(),                         //
        kPop,                            //
        Feature(),                       //
        {0x00},                          // empty main item
        kEnd,                            //
    };
    Bytes whole;
    std::vector<size_t> itemEnds = {0};
    for (const Bytes& item : items) {
        whole.insert(whole.end(), item.begin(), item.end());
        itemEnds.push_back(whole.size());
    }
    const ParsedReportLengths full = ParseReportLengths(whole);
    ASSERT_TRUE(full.wellFormed);
    ASSERT_EQ(full.lengths, (HidReportLengths{33, 0, 17}));

    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        const std::span<const uint8_t> part(whole.data(), cut);
        const ParsedReportLengths parsed = ParseReportLengths(part);
        const bool onBoundary = std::find(itemEnds.begin(), itemEnds.end(), cut) != itemEnds.end();
        EXPECT_EQ(parsed.wellFormed, onBoundary) << "cut at " << cut;
        EXPECT_LE(parsed.lengths.input, full.lengths.input) << "cut at " << cut;
        EXPECT_LE(parsed.lengths.output, full.lengths.output) << "cut at " << cut;
        EXPECT_LE(parsed.lengths.feature, full.lengths.feature) << "cut at " << cut;
    }
}

// Random bytes: the walk ends, stays inside the buffer (the sanitizer builds
// watch the reads), and any length it gives holds at least one byte besides
// the id byte.
TEST(ReportDescriptorLengths, GarbageIsReadWithinBounds) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        Bytes garbage(static_cast<size_t>(round % 97));
        for (uint8_t& b : garbage) {
            b = static_cast<uint8_t>(byte(random));
        }
        const HidReportLengths lengths = ParseReportLengths(garbage).lengths;
        for (const uint16_t length : {lengths.input, lengths.output, lengths.feature}) {
            EXPECT_NE(length, 1) << "round " << round;
        }
    }
}

}  // namespace
