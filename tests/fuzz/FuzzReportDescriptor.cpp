// Report descriptors as a device hands them over: the whole input is the
// descriptor, and it ends where the input ends, so a read past it is a
// sanitizer report.
//
// Properties: a length is 0 or counts at least one byte besides the id
// byte; a length too long to count marks the descriptor as not well formed;
// the items before a cut never give longer reports than the whole; wrapping
// a well-formed descriptor in Push ... Pop changes nothing.
#include <cstdint>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "platform/hid/HidReportDescriptor.h"

namespace {

constexpr uint8_t kPushItem = 0xA4;
constexpr uint8_t kPopItem = 0xB4;
constexpr uint16_t kTooLong = 0xFFFF;

void CheckLength(uint16_t length, const ParsedReportLengths& parsed) {
    FUZZ_CHECK(length != 1);
    if (length == kTooLong) {
        FUZZ_CHECK(!parsed.wellFormed);
    }
}

void CheckCut(const ParsedReportLengths& whole, std::span<const uint8_t> descriptor, size_t cut) {
    const ParsedReportLengths part = ParseReportLengths(descriptor.first(cut));
    FUZZ_CHECK(part.lengths.input <= whole.lengths.input);
    FUZZ_CHECK(part.lengths.output <= whole.lengths.output);
    FUZZ_CHECK(part.lengths.feature <= whole.lengths.feature);
    FUZZ_CHECK(!part.usesReportIds || whole.usesReportIds);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> descriptor(data, size);
    const ParsedReportLengths whole = ParseReportLengths(descriptor);
    CheckLength(whole.lengths.input, whole);
    CheckLength(whole.lengths.output, whole);
    CheckLength(whole.lengths.feature, whole);

    if (size > 0) {
        CheckCut(whole, descriptor, size / 2);
        CheckCut(whole, descriptor, size - 1);
    }

    if (whole.wellFormed) {
        std::vector<uint8_t> wrapped;
        wrapped.reserve(size + 2);
        wrapped.push_back(kPushItem);
        wrapped.insert(wrapped.end(), descriptor.begin(), descriptor.end());
        wrapped.push_back(kPopItem);
        const ParsedReportLengths inner = ParseReportLengths(wrapped);
        FUZZ_CHECK(inner.wellFormed);
        FUZZ_CHECK(inner.lengths == whole.lengths);
        FUZZ_CHECK(inner.usesReportIds == whole.usesReportIds);
    }
    return 0;
}
