// tallisk-cli --trace against the simulated reader on a pseudo-terminal:
// the frame that goes out and the reply that comes back, on standard error.
#include <gtest/gtest.h>

#include <QProcess>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "sim/PtyReaderLink.h"
#include "sim/ReaderModel.h"

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char digits[4];
    for (const uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%s%02X", text.empty() ? "" : " ", byte);
        text += digits;
    }
    return text;
}

TEST(CliTrace, ShowsTheReadFrameGoingOutAndTheBlockComingBack) {
    PtyReaderLink reader;
    ASSERT_TRUE(reader.Start());
    QProcess process;
    process.start(QStringLiteral(TALLISK_CLI),
                  {QStringLiteral("--trace"), QStringLiteral("--serial"),
                   QString::fromStdString(reader.Path()), QStringLiteral("read")});
    ASSERT_TRUE(process.waitForFinished(60000));
    const std::string err = process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitCode(), 0) << err;

    // Every line has its time stamp; what one wake-up of the line read is
    // one line, so the reply may come in more than one.
    const std::string channel = "serial " + reader.Path();
    const std::regex line(R"((\d\d:\d\d:\d\d\.\d\d\d) (.*))");
    const std::regex sent(channel + R"( -> (\d+) bytes: (.*))");
    const std::regex got(channel + R"( <- (\d+) bytes: (.*))");
    std::vector<std::string> frames;
    std::string replies;
    int replyBytes = 0;
    bool opened = false;
    std::istringstream lines(err);
    for (std::string text; std::getline(lines, text);) {
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(text, parts, line)) << text;
        const std::string body = parts[2];
        opened = opened || body == channel + " opened";
        if (std::regex_match(body, parts, sent)) {
            frames.push_back(parts[2]);
        } else if (std::regex_match(body, parts, got)) {
            replyBytes += std::stoi(parts[1]);
            replies += (replies.empty() ? "" : " ") + parts[2].str();
        }
    }
    EXPECT_TRUE(opened) << err;
    ASSERT_EQ(frames.size(), 1u) << err;
    EXPECT_EQ(frames[0].substr(0, 5), "1B 52") << err;
    const ConfigBlock config = ReaderModel::DefaultConfig();
    EXPECT_EQ(replyBytes, 24) << err;
    EXPECT_EQ(replies, Hex({config.begin(), config.end()})) << err;
    EXPECT_NE(err.find(channel + " closed"), std::string::npos) << err;
}

TEST(CliTrace, WithoutTheOptionStandardErrorStaysQuiet) {
    PtyReaderLink reader;
    ASSERT_TRUE(reader.Start());
    QProcess process;
    process.start(QStringLiteral(TALLISK_CLI),
                  {QStringLiteral("--serial"), QString::fromStdString(reader.Path()),
                   QStringLiteral("read")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardError().toStdString(), "");
}

}  // namespace
