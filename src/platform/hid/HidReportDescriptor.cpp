#include "platform/hid/HidReportDescriptor.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

namespace {

// Item prefix: bits 0-1 the data size code, bits 2-3 the type, bits 4-7 the tag.
constexpr uint8_t kLongItemPrefix = 0xFE;  // followed by data size, tag, data
constexpr std::array<size_t, 4> kShortItemDataBytes{0, 1, 2, 4};

enum class ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

enum class ReportKind : uint8_t { kInput, kOutput, kFeature };
constexpr size_t kReportKindCount = 3;

struct MainTag {
    uint8_t tag;
    ReportKind kind;
};
constexpr std::array<MainTag, kReportKindCount> kReportMainTags{{
    {0x8, ReportKind::kInput},
    {0x9, ReportKind::kOutput},
    {0xB, ReportKind::kFeature},
}};

enum class GlobalTag : uint8_t {
    kReportSize = 0x7,
    kReportId = 0x8,
    kReportCount = 0x9,
    kPush = 0xA,
    kPop = 0xB,
};

constexpr size_t kReportIdSlots = 256;  // slot 0: reports without an id
constexpr uint32_t kMaxReportId = 255;
// The longest report whose length (bytes plus the id byte) stays below
// 0xFFFF, the value that marks a report too long to count.
constexpr uint64_t kMaxReportBytes = std::numeric_limits<uint16_t>::max() - 2;

struct GlobalState {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

// Bits declared so far, per kind and report id.
class ReportBits {
  public:
    void Add(ReportKind kind, uint8_t reportId, uint32_t size, uint32_t count) {
        uint64_t& total = bits_[static_cast<size_t>(kind)][reportId];
        // Each product fits 64 bits; only the running sum can overflow.
        const uint64_t added = uint64_t{size} * count;
        total = added > std::numeric_limits<uint64_t>::max() - total
                    ? std::numeric_limits<uint64_t>::max()
                    : total + added;
    }

    // The longest report of the kind in bytes plus the id byte; nullopt when
    // that does not fit a 16-bit length.
    std::optional<uint16_t> Length(ReportKind kind) const {
        const auto& perId = bits_[static_cast<size_t>(kind)];
        const uint64_t longestBits = *std::max_element(perId.begin(), perId.end());
        const uint64_t bytes = longestBits / 8 + (longestBits % 8 != 0 ? 1 : 0);
        if (bytes == 0) {
            return 0;
        }
        if (bytes > kMaxReportBytes) {
            return std::nullopt;
        }
        return static_cast<uint16_t>(bytes + 1);
    }

  private:
    std::array<std::array<uint64_t, kReportIdSlots>, kReportKindCount> bits_{};
};

// Everything the walk over the items carries along.
struct Walk {
    GlobalState state;
    std::vector<GlobalState> stack;  // pushed global states
    ReportBits bits;
    bool usesReportIds = false;
};

uint32_t LittleEndianValue(std::span<const uint8_t> data) {
    uint32_t value = 0;
    for (size_t i = data.size(); i > 0; --i) {
        value = (value << 8) | data[i - 1];
    }
    return value;
}

// Applies one global item; false when the item makes the descriptor invalid.
bool ApplyGlobal(uint8_t tag, uint32_t value, Walk& walk) {
    GlobalState& state = walk.state;
    switch (static_cast<GlobalTag>(tag)) {
        case GlobalTag::kReportSize:
            state.reportSize = value;
            return true;
        case GlobalTag::kReportCount:
            state.reportCount = value;
            return true;
        case GlobalTag::kReportId:
            if (value == 0 || value > kMaxReportId) {
                return false;
            }
            state.reportId = static_cast<uint8_t>(value);
            walk.usesReportIds = true;
            return true;
        case GlobalTag::kPush:
            walk.stack.push_back(state);
            return true;
        case GlobalTag::kPop:
            if (walk.stack.empty()) {
                return false;
            }
            state = walk.stack.back();
            walk.stack.pop_back();
            return true;
    }
    return true;  // usage page, logical and physical ranges, units
}

void ApplyMain(uint8_t tag, Walk& walk) {
    const GlobalState& state = walk.state;
    for (const MainTag& entry : kReportMainTags) {
        if (entry.tag == tag) {
            walk.bits.Add(entry.kind, state.reportId, state.reportSize, state.reportCount);
        }
    }
}

// Walks the items; false when the walk had to stop before the end.
bool WalkItems(std::span<const uint8_t> descriptor, Walk& walk) {
    size_t pos = 0;
    while (pos < descriptor.size()) {
        const uint8_t prefix = descriptor[pos];
        const size_t left = descriptor.size() - pos - 1;
        if (prefix == kLongItemPrefix) {
            if (left < 2 || left - 2 < descriptor[pos + 1]) {
                return false;
            }
            pos += 3 + size_t{descriptor[pos + 1]};
            continue;
        }
        const size_t dataBytes = kShortItemDataBytes[prefix & 0x3];
        if (left < dataBytes) {
            return false;
        }
        const uint32_t value = LittleEndianValue(descriptor.subspan(pos + 1, dataBytes));
        const auto type = static_cast<ItemType>((prefix >> 2) & 0x3);
        const uint8_t tag = prefix >> 4;
        if (type == ItemType::kMain) {
            ApplyMain(tag, walk);
        } else if (type == ItemType::kGlobal && !ApplyGlobal(tag, value, walk)) {
            return false;
        }
        pos += 1 + dataBytes;
    }
    return true;
}

}  // namespace

ParsedReportLengths ParseReportLengths(std::span<const uint8_t> descriptor) {
    Walk walk;
    ParsedReportLengths result;
    result.wellFormed = WalkItems(descriptor, walk);
    result.usesReportIds = walk.usesReportIds;

    const auto take = [&](ReportKind kind, uint16_t& length) {
        const std::optional<uint16_t> counted = walk.bits.Length(kind);
        if (!counted) {
            result.wellFormed = false;
        }
        length = counted.value_or(std::numeric_limits<uint16_t>::max());
    };
    take(ReportKind::kInput, result.lengths.input);
    take(ReportKind::kOutput, result.lengths.output);
    take(ReportKind::kFeature, result.lengths.feature);
    return result;
}
