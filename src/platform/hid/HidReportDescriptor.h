#pragma once

#include <cstdint>
#include <span>

// The byte lengths of a device's reports, one per kind: the longest report of
// that kind over all report ids, plus the report-id byte (counted whether or
// not the device numbers its reports). 0 when the device has no report of the
// kind.
struct HidReportLengths {
    uint16_t input = 0;
    uint16_t output = 0;
    uint16_t feature = 0;

    friend bool operator==(const HidReportLengths&, const HidReportLengths&) = default;
};

// The outcome of reading a report descriptor. When the descriptor is cut off
// inside an item, pops more global states than it pushed, names report id 0 or
// one above 255, or declares a report longer than a length can hold, the walk
// stops there: `wellFormed` is false and `lengths` covers the items before
// that point (a report too long to count is given as 0xFFFF).
struct ParsedReportLengths {
    HidReportLengths lengths;
    bool usesReportIds = false;  // a Report ID item was met
    bool wellFormed = true;
};

// Sums Report Size x Report Count of every Input, Output and Feature main item
// under the report id in force, with the global state saved and restored by
// Push and Pop; long items are skipped. A report of a kind whose items carry no
// bits at all does not count. Never reads outside `descriptor`.
ParsedReportLengths ParseReportLengths(std::span<const uint8_t> descriptor);
