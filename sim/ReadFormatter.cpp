#include "ReadFormatter.h"

#include <string_view>

namespace {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kEscByte = 0x1B;
constexpr char kSeparatorSymbols[] = "TOADS";
constexpr char kMisread = '?';

bool Bit(uint8_t byte, int bit) {
    return ((byte >> bit) & 1) != 0;
}

// Head and tail framing from a format byte: bit 4 STX, bit 3 ESC at the
// head; bit 2 ETX, bit 1 CR, bit 0 LF at the end.
std::vector<uint8_t> Framed(uint8_t format, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> out;
    if (Bit(format, 4)) {
        out.push_back(kStx);
    }
    if (Bit(format, 3)) {
        out.push_back(kEscByte);
    }
    out.insert(out.end(), body.begin(), body.end());
    for (auto [bit, byte] : {std::pair{2, kEtx}, std::pair{1, kCr}, std::pair{0, kLf}}) {
        if (Bit(format, bit)) {
            out.push_back(byte);
        }
    }
    return out;
}

}  // namespace

std::vector<uint8_t> FormatChequeRead(const ConfigBlock& config, const std::string& micrLine) {
    const uint8_t format = config[1];
    const bool withSpaces = Bit(format, 5);
    const bool returnAll = Bit(format, 6);
    std::vector<uint8_t> body;
    bool misread = false;
    for (char c : micrLine) {
        if (const char* symbol = std::char_traits<char>::find(kSeparatorSymbols, 5, c)) {
            const int index = static_cast<int>(symbol - kSeparatorSymbols);
            // A separator's code is sent only while its flag (inverted) is clear.
            if (!Bit(config[13], index)) {
                body.push_back(config[static_cast<size_t>(2 + index)]);
            }
        } else if (c == kMisread) {
            misread = true;
            body.push_back(config[7]);
        } else if (c != ' ' || withSpaces) {
            body.push_back(static_cast<uint8_t>(c));
        }
    }
    if (misread && !returnAll) {
        body.assign(1, config[7]);  // only the error code comes back
    }
    return Framed(format, body);
}

std::vector<uint8_t> FormatCardRead(const ConfigBlock& config,
                                    const std::array<std::string, 3>& tracks) {
    const uint8_t format = config[16];
    const bool returnAll = Bit(format, 5);
    const bool errorCodeOn = !Bit(config[13], 7);
    std::vector<uint8_t> body;
    for (int t = 0; t < 3; ++t) {
        const std::string& data = tracks[static_cast<size_t>(t)];
        if (!Bit(config[11], t) || data.empty()) {
            continue;
        }
        const bool bad = data.find(kMisread) != std::string::npos;
        if (Bit(config[17], 2 * t)) {
            body.push_back(config[static_cast<size_t>(18 + 2 * t)]);
        }
        if (bad && !returnAll) {
            if (errorCodeOn) {
                body.push_back(config[12]);
            }
        } else {
            for (char c : data) {
                if (c == kMisread && errorCodeOn) {
                    body.push_back(config[12]);
                } else {
                    body.push_back(static_cast<uint8_t>(c));
                }
            }
        }
        if (Bit(config[17], 2 * t + 1)) {
            body.push_back(config[static_cast<size_t>(19 + 2 * t)]);
        }
    }
    return Framed(format, body);
}

const std::array<const char*, 3> kSampleChequeLines = {
    "T021000021T 123456789O 0104A0000012500A",
    "T111000025T 000987654321O 2231A0000004999A",
    "T026009593T 5550123D4O 0877A0000150000A",
};

const std::array<std::string, 3> kSampleCardTracks = {
    "B4111111111111111^DEMO/TECHNICIAN^29121010000000000000",
    "4111111111111111=29121010000000000",
    "011234567890123456789=000000000000000000",
};
