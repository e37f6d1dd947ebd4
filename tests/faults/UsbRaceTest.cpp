// Programs racing for one USB reader: two loops of `write --force`, each with
// its own file, and a loop of `read --json`, all at once on one fake reader,
// for TALLISK_RACE_SECONDS (default 5). Whatever the interleaving, every
// read that succeeds prints a configuration the reader held, no block goes
// out without the reader's own bytes 14 and 15, and no write is verified
// that another program's block overtook before its read-back. The counts are
// printed, for runs of any length.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>

#include "FakeDevices.h"
#include "FakeReader.h"
#include "HidTestbed.h"
#include "protocol/Configuration.h"

namespace {

struct Lane {
    QStringList args;
    std::string input;
    std::map<int, int> exits;  // exit status: how many
    int runs = 0;
    int verified = 0;
    int bogusReads = 0;  // exit 0 with no configuration the reader held
};

int RaceSeconds() {
    const char* text = std::getenv("TALLISK_RACE_SECONDS");
    const int seconds = text != nullptr ? std::atoi(text) : 0;
    return seconds > 0 ? seconds : 5;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The block a configuration file or `read --json` holds, "30 43 ...".
std::string BlockOf(const std::string& json) {
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json));
    return document.object().value(QStringLiteral("block")).toString().toStdString();
}

class UsbRace : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!bed.Active()) {
            GTEST_SKIP() << "needs the umockdev preload";
        }
        path = bed.Add(kReader);
        AttachReader(*bed.Node(path), model);
    }

    std::string Run(const QStringList& args) {
        QProcess process;
        process.start(QStringLiteral(TALLISK_CLI), QStringList{"--device", Path()} + args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return process.readAllStandardOutput().toStdString();
    }
    QString Path() const { return QString::fromStdString(path); }

    // Starts the lane's next run; counts the last one when it ends.
    void Start(Lane& lane, const QElapsedTimer& clock, int limitMs, int& running) {
        auto* process = new QProcess;
        ++running;
        QObject::connect(
            process, &QProcess::finished, process,
            [this, &lane, &clock, limitMs, &running, process](int status, QProcess::ExitStatus) {
                const std::string out = process->readAllStandardOutput().toStdString();
                ++lane.runs;
                ++lane.exits[status];
                if (out.find("\"verified\": true") != std::string::npos) {
                    ++lane.verified;
                }
                if (lane.args.first() == "read" && status == 0 && !IsHeld(BlockOf(out))) {
                    ++lane.bogusReads;
                }
                process->deleteLater();
                --running;
                if (clock.elapsed() < limitMs) {
                    Start(lane, clock, limitMs, running);
                }
            });
        process->start(QStringLiteral(TALLISK_CLI), QStringList{"--device", Path()} + lane.args);
        process->write(lane.input.data(), static_cast<qint64>(lane.input.size()));
        process->closeWriteChannel();
    }

    bool IsHeld(const std::string& block) const {
        return !block.empty() && (block == blockA || block == blockB || block == original);
    }

    HidTestbed bed;
    ReaderModel model;
    std::string path;
    std::string original, blockA, blockB;
};

TEST_F(UsbRace, RacingProgramsNeverCorruptTheReaderOrReportFalsely) {
    const std::string read = Run({"read", "--json"});
    original = BlockOf(read);
    ASSERT_FALSE(original.empty()) << read;
    const std::string fileA = read;
    const std::string fileB = Replaced(read, "\"checkCode\": \"E13B\"", "\"checkCode\": \"CMC7\"");
    ASSERT_NE(fileA, fileB);
    // The file's block is the one read; the reader holds B's with byte 1's
    // top bit set once B is written.
    blockA = original;
    blockB = Replaced(original, "30 43", "30 C3");

    Lane writerA{{"write", "--force", "--json", "-"}, fileA, {}, 0, 0, 0};
    Lane writerB{{"write", "--force", "--json", "-"}, fileB, {}, 0, 0, 0};
    Lane reader{{"read", "--json"}, "", {}, 0, 0, 0};
    const int limitMs = RaceSeconds() * 1000;
    QElapsedTimer clock;
    clock.start();
    int running = 0;
    for (Lane* lane : {&writerA, &writerB, &reader}) {
        Start(*lane, clock, limitMs, running);
    }
    while (running > 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }

    // What the reader was sent, in order: every block carries the reader's
    // bytes 14 and 15, and every block is read back before the next block.
    int blocks = 0;
    int lostBytes = 0;
    int overtaken = 0;
    bool awaitingReadBack = false;
    bed.Node(path)->Locked([&](FakeHidNode::State& state) {
        for (const Bytes& report : state.featuresSent) {
            if (report.size() < 3 || report[1] != 0x1B) {
                continue;
            }
            if (report[2] == 'S') {
                ++blocks;
                lostBytes += report.size() < 19 || report[17] != 0x12 || report[18] != 0x34;
                overtaken += awaitingReadBack;
                awaitingReadBack = true;
            } else if (report[2] == 'R') {
                awaitingReadBack = false;
            }
        }
        return 0;
    });

    auto describe = [](const char* name, const Lane& lane) {
        std::string text = std::string(name) + ": " + std::to_string(lane.runs) + " runs;";
        for (const auto& [status, count] : lane.exits) {
            text += " exit " + std::to_string(status) + " x" + std::to_string(count) + ";";
        }
        return text + " verified " + std::to_string(lane.verified) + "; bogus reads " +
               std::to_string(lane.bogusReads);
    };
    std::printf(
        "race of %d s\n%s\n%s\n%s\nblocks sent %d, without bytes 14/15 %d, overtaken "
        "before their read-back %d\n",
        RaceSeconds(), describe("write A", writerA).c_str(), describe("write B", writerB).c_str(),
        describe("read", reader).c_str(), blocks, lostBytes, overtaken);

    EXPECT_EQ(reader.bogusReads, 0);
    EXPECT_EQ(lostBytes, 0);
    EXPECT_EQ(overtaken, 0);
    EXPECT_GT(reader.exits[0], 0) << "some reads went through";
    EXPECT_GT(writerA.verified + writerB.verified, 0) << "some writes went through";
}

}  // namespace
