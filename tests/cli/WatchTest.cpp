// tallisk-cli watch against the simulated reader on a pseudo-terminal:
// each read as it arrives, compared and counted as the window's read test
// does, and how the watch ends.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <string>
#include <vector>

#include "sim/PtyReaderLink.h"
#include "sim/ReadFormatter.h"
#include "sim/ReaderModel.h"

namespace {

constexpr int kLimitMs = 30000;

class WatchOnSerial : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(reader.Start()); }

    void TearDown() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(kLimitMs);
        }
    }

    // Starts the watch and waits until it says it takes reads.
    void Start(const std::vector<std::string>& args) {
        QStringList list = {QStringLiteral("--serial"), QString::fromStdString(reader.Path()),
                            QStringLiteral("watch")};
        for (const std::string& a : args) {
            list << QString::fromStdString(a);
        }
        process.start(QStringLiteral(TALLISK_CLI), list);
        QElapsedTimer clock;
        clock.start();
        while (err.find("watching") == std::string::npos && clock.elapsed() < kLimitMs &&
               process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(100);
            err += process.readAllStandardError().toStdString();
        }
        ASSERT_NE(err.find("watching"), std::string::npos) << err;
    }

    // Sends a cheque read and waits for the line it prints: a read is a
    // burst that a pause ends, so the next one waits for this one's line.
    std::string Read(const std::string& micrLine) {
        const ConfigBlock config = reader.WithModel([](ReaderModel& m) { return m.Config(); });
        return LineFor(FormatChequeRead(config, micrLine), micrLine);
    }

    // Sends bytes as one read and gives the line printed for them.
    std::string LineFor(const std::vector<uint8_t>& sent, const std::string& what) {
        reader.Send(sent);
        QElapsedTimer clock;
        clock.start();
        while (out.find('\n') == std::string::npos && clock.elapsed() < kLimitMs &&
               process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(100);
            out += process.readAllStandardOutput().toStdString();
        }
        const size_t end = out.find('\n');
        EXPECT_NE(end, std::string::npos) << "no line for " << what;
        const std::string line = out.substr(0, end);
        out.erase(0, end == std::string::npos ? out.size() : end + 1);
        return line;
    }

    int Ended() {
        EXPECT_TRUE(process.waitForFinished(kLimitMs));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        out += process.readAllStandardOutput().toStdString();
        err += process.readAllStandardError().toStdString();
        return process.exitCode();
    }

    PtyReaderLink reader;
    QProcess process;
    std::string out;
    std::string err;
};

const std::string kCheque = "T123456789T 0001234567O 0150";
const std::string kOther = "T987654321T 0001234567O 0150";

TEST_F(WatchOnSerial, ComparesEachReadWithTheFirstAndCountsUntilTheCount) {
    Start({"--compare", "--count", "3"});
    const struct {
        std::string sent;
        std::string verdict;
    } reads[] = {{kCheque, "reference"}, {kCheque, "same\t1/1"}, {kOther, "different\t1/2"}};
    std::string reference;
    for (const auto& r : reads) {
        const std::string line = Read(r.sent);
        const size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        EXPECT_EQ(line.substr(tab + 1), r.verdict) << line;
        if (reference.empty()) {
            reference = line.substr(0, tab);
            EXPECT_NE(reference.find("123456789"), std::string::npos) << reference;
        } else {
            EXPECT_EQ(line.substr(0, tab) == reference, r.sent == kCheque) << line;
        }
    }
    EXPECT_EQ(Ended(), 0) << err;
    EXPECT_EQ(out, "") << "nothing after the third read";
    EXPECT_TRUE(reader.ReceivedFrames().empty()) << "watching sends the reader nothing";
}

TEST_F(WatchOnSerial, JsonLinesCarryTheTextIndexAndCounts) {
    Start({"--json", "--compare", "--count=3"});
    const struct {
        std::string sent;
        QJsonValue same;
        int successes;
        int total;
    } reads[] = {{kCheque, QJsonValue::Null, 0, 0}, {kOther, false, 0, 1}, {kCheque, true, 1, 2}};
    int index = 0;
    for (const auto& r : reads) {
        const std::string line = Read(r.sent);
        QJsonParseError error{};
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line;
        const QJsonObject o = document.object();
        EXPECT_EQ(o.value("index").toInt(), ++index) << line;
        EXPECT_NE(o.value("text").toString().indexOf(QString::fromStdString(r.sent.substr(1, 9))),
                  -1)
            << line;
        EXPECT_EQ(o.value("reference").toBool(), index == 1) << line;
        EXPECT_EQ(o.value("same"), r.same) << line;
        EXPECT_EQ(o.value("successes").toInt(-1), r.successes) << line;
        EXPECT_EQ(o.value("total").toInt(-1), r.total) << line;
    }
    EXPECT_EQ(Ended(), 0) << err;
}

TEST_F(WatchOnSerial, WithoutComparisonALineIsTheReadAlone) {
    Start({"--count", "1"});
    const std::string line = Read(kCheque);
    EXPECT_EQ(line.find('\t'), std::string::npos) << line;
    EXPECT_NE(line.find("123456789"), std::string::npos) << line;
    EXPECT_EQ(Ended(), 0) << err;
}

TEST_F(WatchOnSerial, ATerminationEndsItCleanly) {
    Start({});
    Read(kCheque);
    process.terminate();
    EXPECT_EQ(Ended(), 0) << err;
}

TEST_F(WatchOnSerial, TheLineHangingUpEndsItAsTheReaderGone) {
    Start({});
    reader.Hangup();
    EXPECT_EQ(Ended(), 74) << err;
}

TEST_F(WatchOnSerial, EveryByteOfAReadShowsEscapedAndANulCutsNothing) {
    Start({"--count", "2"});
    // A NUL, a bell and DEL are part of the read; a CR frames it. A
    // byte from 0x80 on is a character of the read, shown as its UTF-8.
    const std::vector<uint8_t> bytes = {'A', 0x00, 'B', 0x07, '\\', 0x7f, 0xe9, '\r'};
    const struct {
        std::vector<uint8_t> sent;
        std::string line;
    } reads[] = {
        {bytes, R"(A\x00B\x07\\\x7f\xc3\xa9)"},
        {{0x00}, R"(\x00)"},
    };
    for (const auto& r : reads) {
        EXPECT_EQ(LineFor(r.sent, r.line), r.line);
    }
    EXPECT_EQ(Ended(), 0) << err;
}

TEST_F(WatchOnSerial, JsonEscapesANulToo) {
    Start({"--json", "--count", "1"});
    const std::vector<uint8_t> bytes = {'A', 0x00, 'B', '\r'};
    reader.Send(bytes);
    EXPECT_EQ(Ended(), 0) << err;
    // One read a line, and the outcome as the last line.
    const std::string first = "{\"index\":1,\"text\":\"A\\u0000B\"}\n";
    EXPECT_EQ(out.substr(0, first.size()), first);
    EXPECT_NE(out.find("\"exit\":0,\"ok\":true}\n", first.size()), std::string::npos) << out;
}

// Output that cannot be written ends the watch with 74 and says why, on a
// full device and on a pipe whose reader went away (no silent SIGPIPE).
class WatchWithoutOutput : public WatchOnSerial {
  protected:
    void SendRead() {
        const ConfigBlock config = reader.WithModel([](ReaderModel& m) { return m.Config(); });
        reader.Send(FormatChequeRead(config, kCheque));
    }
};

TEST_F(WatchWithoutOutput, AFullDeviceEndsItWith74) {
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    Start({});
    SendRead();
    EXPECT_EQ(Ended(), 74) << err;
    EXPECT_NE(err.find("standard output cannot be written (No space left on device)"),
              std::string::npos)
        << err;
}

TEST_F(WatchWithoutOutput, AClosedPipeEndsItWith74) {
    // Standard output a pipe that nobody reads any more, as "watch | head
    // -n 0" gives it.
    int fds[2] = {-1, -1};
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    ::close(fds[0]);
    const int writeEnd = fds[1];
    process.setChildProcessModifier([writeEnd] { ::dup2(writeEnd, STDOUT_FILENO); });
    Start({});
    ::close(writeEnd);
    SendRead();
    EXPECT_EQ(Ended(), 74) << err;
    EXPECT_NE(err.find("standard output cannot be written (Broken pipe)"), std::string::npos)
        << err;
}

TEST(WatchUsage, ACountThatIsNoNumberOfReadsIsAUsageError) {
    for (const char* count : {"0", "-1", "x", ""}) {
        QProcess process;
        process.start(QStringLiteral(TALLISK_CLI),
                      {QStringLiteral("--serial"), QStringLiteral("/dev/no-such-line"),
                       QStringLiteral("watch"), QStringLiteral("--count=%1").arg(count)});
        ASSERT_TRUE(process.waitForFinished(kLimitMs));
        EXPECT_EQ(process.exitCode(), 64) << count;
    }
}

}  // namespace
