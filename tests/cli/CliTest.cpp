// tallisk-cli as a script runs it, against the simulated reader on a
// pseudo-terminal: what it prints, its exit status, and the frames the
// reader received.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial/SerialDevice.h"
#include "sim/PtyReaderLink.h"
#include "sim/ReaderModel.h"
#include "tests/serial/OtherUserOpen.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Ended {
    int status = -1;
    std::string out;
    std::string err;
};

class CliOnSerial : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(reader.Start());
        ASSERT_TRUE(dir.isValid());
    }

    Ended Cli(std::vector<std::string> args, const std::string& input = "") {
        QStringList list = {QStringLiteral("--serial"), QString::fromStdString(reader.Path())};
        for (const std::string& a : args) {
            list << QString::fromStdString(a);
        }
        QProcess process;
        process.start(QStringLiteral(TALLISK_CLI), list);
        process.write(input.data(), static_cast<qint64>(input.size()));
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    std::string File(const std::string& name, const std::string& text) {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path) << text;
        return path;
    }

    // The letters of the frames the reader received, "RSR" for read, write, read.
    std::string Letters() {
        std::string letters;
        for (const Bytes& frame : reader.ReceivedFrames()) {
            letters += frame.size() >= 2 ? static_cast<char>(frame[1]) : '?';
        }
        return letters;
    }

    static std::string Replaced(std::string text, const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    }

    PtyReaderLink reader;
    QTemporaryDir dir;
};

TEST_F(CliOnSerial, ReadSavesAFileThatWritesBackUnchangedAndAChangeIsWrittenAndVerified) {
    const Ended readOut = Cli({"read"});
    EXPECT_EQ(readOut.status, 0) << readOut.err;
    EXPECT_NE(readOut.out.find("Check Code (checkCode): E13B Code"), std::string::npos)
        << readOut.out;
    EXPECT_NE(readOut.out.find("Block: 30 43 41 42 43 44 45 3F"), std::string::npos) << readOut.out;

    const Ended saved = Cli({"read", "--json"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::string file = File("reader.json", saved.out);
    const Ended same = Cli({"write", file});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_NE(same.out.find("unchanged"), std::string::npos) << same.out;
    EXPECT_EQ(Letters(), "RRR") << "an unchanged write sends no block and reads once";

    const Ended forced = Cli({"write", "--force", file});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(Letters(), "RRRRSR");

    const std::string changed = File(
        "changed.json", Replaced(saved.out, "\"checkCode\": \"E13B\"", "\"checkCode\": \"CMC7\""));
    const Ended differs = Cli({"verify", changed});
    EXPECT_EQ(differs.status, 1);
    EXPECT_NE(differs.out.find("Check Code (checkCode): reader E13B Code, file CMC7 Code"),
              std::string::npos)
        << differs.out;

    const ConfigBlock before = reader.WithModel([](ReaderModel& m) { return m.Config(); });
    const Ended wrote = Cli({"write", "--json", "-"}, Replaced(saved.out, "\"E13B\"", "\"CMC7\""));
    EXPECT_EQ(wrote.status, 0) << wrote.err;
    EXPECT_NE(wrote.out.find("\"changed\": true"), std::string::npos) << wrote.out;
    EXPECT_NE(wrote.out.find("\"verified\": true"), std::string::npos) << wrote.out;
    const ConfigBlock after = reader.WithModel([](ReaderModel& m) { return m.Config(); });
    EXPECT_NE(before, after);
    EXPECT_EQ(before[14], after[14]) << "bytes 14 and 15 go back as the reader reported them";
    EXPECT_EQ(before[15], after[15]);
    EXPECT_EQ(Cli({"verify", changed}).status, 0);
}

// An answer of the block's length that no reader could hold is not taken
// for the configuration: read fails, and write sends no block built on it.
TEST_F(CliOnSerial, AnAnswerThatIsNoConfigurationIsNotBelieved) {
    const Ended saved = Cli({"read", "--json"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::string file = File("reader.json", saved.out);
    const struct {
        ConfigBlock answer;
        const char* what;
        const char* hex;
    } cases[] = {
        {{0xBF, 0x91, 0x05, 0xEE, 0x3C, 0x12, 0x7A, 0x00, 0xF1, 0x22, 0x09, 0x4D,
          0x18, 0xC2, 0x6B, 0x30, 0x99, 0x01, 0xAA, 0x55, 0x0F, 0xE3, 0x77, 0x2D},
         "random bytes",
         "BF 91 05 EE"},
        {{0x1B, '0'}, "an acknowledgement where the configuration should be", "1B 30 00 00"},
    };
    for (const auto& c : cases) {
        reader.WithModel([&c](ReaderModel& m) { m.SetConfig(c.answer); });
        const size_t framesBefore = reader.ReceivedFrames().size();
        for (const std::vector<std::string>& args : {std::vector<std::string>{"read"},
                                                     {"read", "--json"},
                                                     {"verify", file},
                                                     {"write", "--force", file}}) {
            const Ended out = Cli(args);
            EXPECT_EQ(out.status, 1) << c.what << " " << args[0] << " " << out.err;
            if (args.back() == "--json") {
                // The failure as the command's document.
                EXPECT_NE(out.out.find("\"ok\": false"), std::string::npos) << out.out;
            } else {
                EXPECT_EQ(out.out, "") << c.what << " " << args[0];
            }
            EXPECT_NE(out.err.find("not a configuration"), std::string::npos) << out.err;
            EXPECT_NE(out.err.find(c.hex), std::string::npos) << out.err;
        }
        const std::vector<Bytes> frames = reader.ReceivedFrames();
        for (size_t i = framesBefore; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i], (Bytes{0x1B, 'R'})) << c.what << ": only reads went out";
        }
    }
}

// A reader that sends without a pause never lets a command go out: the
// command line says so once the line's limit has passed, and sends nothing.
TEST_F(CliOnSerial, ALineThatIsNeverQuietSendsNothingAndSaysSo) {
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        const Bytes chunk(64, '7');
        while (flooding) {
            reader.Send(chunk);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const Ended out = Cli({"read"});
    flooding = false;
    flood.join();
    EXPECT_EQ(out.status, 74) << out.err;
    EXPECT_NE(out.err.find("nothing was sent"), std::string::npos) << out.err;
    EXPECT_TRUE(reader.ReceivedFrames().empty());
}

// A signal in the middle of a write ends the program at once, saying how far
// the write got, and lets the line go as an ordinary end does: another
// user's program may open it next.
TEST_F(CliOnSerial, ASignalDuringAWriteSaysWhatItKnowsAndLetsTheLineGo) {
    const Ended saved = Cli({"read", "--json"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::string file = File(
        "cmc7.json", Replaced(saved.out, "\"checkCode\": \"E13B\"", "\"checkCode\": \"CMC7\""));
    const struct {
        int signal;
        char during;  // the frame whose answer is awaited
        int status;
        const char* sent;
        const char* said;
    } cases[] = {
        {SIGINT, 'S', 130, "\"sent\": true", "sent but not acknowledged"},
        {SIGTERM, 'R', 143, "\"sent\": false", "nothing was written"},
        {SIGHUP, 'S', 129, "\"sent\": true", "sent but not acknowledged"},
    };
    reader.SetTiming({2000, 0});
    for (const auto& c : cases) {
        const size_t before = reader.ReceivedFrames().size();
        QProcess process;
        process.start(QStringLiteral(TALLISK_CLI),
                      {"--serial", QString::fromStdString(reader.Path()), "write", "--force",
                       "--json", QString::fromStdString(file)});
        ASSERT_TRUE(process.waitForStarted());
        const auto awaited = [&] {
            const std::vector<Bytes> frames = reader.ReceivedFrames();
            for (size_t i = before; i < frames.size(); ++i) {
                if (frames[i].size() >= 2 && frames[i][1] == c.during) {
                    return true;
                }
            }
            return false;
        };
        for (int i = 0; i < 600 && !awaited(); ++i) {
            process.waitForFinished(20);
        }
        ASSERT_TRUE(awaited()) << c.status << process.readAllStandardError().toStdString()
                               << process.readAllStandardOutput().toStdString();
        ::kill(static_cast<pid_t>(process.processId()), c.signal);
        ASSERT_TRUE(process.waitForFinished(60000));
        const std::string out = process.readAllStandardOutput().toStdString();
        const std::string err = process.readAllStandardError().toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << c.status;
        EXPECT_EQ(process.exitCode(), c.status) << err;
        EXPECT_NE(out.find("\"interrupted\": \""), std::string::npos) << out;
        EXPECT_NE(out.find(c.sent), std::string::npos) << out;
        EXPECT_NE(out.find("\"verified\": false"), std::string::npos) << out;
        EXPECT_NE(err.find(c.said), std::string::npos) << err;
        EXPECT_EQ(OpenAsOrdinaryUser(reader.Path()), 0) << "the line is free again";
    }
}

TEST_F(CliOnSerial, ARefusedFileSendsNothingAndSaysWhy) {
    const std::string good = Cli({"read", "--json"}).out;
    const size_t framesBefore = reader.ReceivedFrames().size();
    const struct {
        std::string text;
        std::string why;
    } cases[] = {
        {"{not json", "not"},
        {Replaced(good, "\"version\": 1", "\"version\": 9"), "version"},
        {Replaced(good, "\"checkCode\"", "\"checkKode\""), "checkKode"},
        {Replaced(good, "\"checkCode\": \"E13B\"", "\"checkCode\": \"OCR\""), "checkCode"},
        {Replaced(good, "\"track1Limit\": true", "\"track1Limit\": 3"), "track1Limit"},
    };
    for (const auto& c : cases) {
        for (const char* command : {"write", "verify"}) {
            const Ended run = Cli({command, File("bad.json", c.text)});
            EXPECT_EQ(run.status, 64) << command << " " << c.why;
            EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
        }
    }
    EXPECT_EQ(reader.ReceivedFrames().size(), framesBefore);
}

TEST_F(CliOnSerial, SendTakesSettingsByNameAndSaysWhatTheWindowWouldSay) {
    const Ended limit = Cli(
        {"send", "msr-read-limit", "track1Limit=true", "track2Limit=false", "track3Limit=true"});
    EXPECT_EQ(limit.status, 0) << limit.err;
    EXPECT_EQ(limit.out, "MSR_Read_Limit: acknowledged\n");
    ASSERT_FALSE(reader.ReceivedFrames().empty());
    // Tracks 1 and 3: '0' + 1 + 4, as Send Cmd builds it.
    EXPECT_EQ(reader.ReceivedFrames().back(), (Bytes{0x1B, 'G', '0' + 5}));

    const struct {
        std::vector<std::string> args;
        int status;
    } refused[] = {
        {{"send", "MSR_Read_Limit", "track1Limit=maybe"}, 64},
        {{"send", "Check_Standards_Setup"}, 64},  // its check code left unset
        {{"send", "MSR_Read_Limit"}, 64},         // no track given: not "all off"
        {{"send", "MSR_Read_Limit", "track1Limit=true", "track1Limit=false", "track2Limit=true",
          "track3Limit=true"},
         64},
        {{"send", "No_Such_Command"}, 64},
        {{"send", "MSR_Read_Limit", "noSuchSetting=true"}, 64},
        {{"frobnicate"}, 64},
    };
    const size_t frames = reader.ReceivedFrames().size();
    for (const auto& c : refused) {
        EXPECT_EQ(Cli(c.args).status, c.status) << c.args[0];
    }
    EXPECT_EQ(reader.ReceivedFrames().size(), frames);

    reader.WithModel([](ReaderModel& m) { m.faults.refuse = true; });
    const Ended no = Cli({"send", "Device_Initial"});
    EXPECT_EQ(no.status, 1);
    EXPECT_EQ(no.out, "");
    EXPECT_NE(no.err.find("the reader refused the command (it answered 1B 31)"), std::string::npos)
        << no.err;
    reader.WithModel([](ReaderModel& m) { m.faults = {.silent = true}; });
    EXPECT_EQ(Cli({"read"}).status, 74);
}

TEST(CliWithoutReader, ALineThatCannotBeOpenedSaysWhy) {
    QProcess process;
    process.start(
        QStringLiteral(TALLISK_CLI),
        {QStringLiteral("--serial"), QStringLiteral("/dev/no-such-line"), QStringLiteral("read")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 69);
    EXPECT_NE(process.readAllStandardError().indexOf("/dev/no-such-line"), -1);
}

// A line another program holds (locked, exclusive flag set, as every
// program of ours holds it) names the holder whoever opens it: root, whom
// the lock stops, and a program without root's power, whom the flag stops.
TEST_F(CliOnSerial, ALineAnotherProgramHoldsNamesTheHolderToEveryOpener) {
    PosixSerialDevice holder;
    ASSERT_EQ(holder.Open(reader.Path()), 0);
    const std::string named = "in use by ";
    const std::string self = "(" + std::to_string(::getpid()) + ")";
    for (const bool dropsPower : {false, true}) {
        QProcess process;
        if (dropsPower) {
            // Out of the bounding set too, or the program gets them back.
            process.setChildProcessModifier([] {
                for (int cap = 0; cap < 64; ++cap) {
                    if (prctl(PR_CAPBSET_DROP, cap, 0, 0, 0) != 0 && errno == EINVAL) {
                        break;
                    }
                }
                __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
                __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3]{};
                if (syscall(SYS_capset, &header, none) != 0) {
                    ::_exit(2);
                }
            });
        }
        process.start(QStringLiteral(TALLISK_CLI),
                      {QStringLiteral("--serial"), QString::fromStdString(reader.Path()),
                       QStringLiteral("read")});
        ASSERT_TRUE(process.waitForFinished(60000));
        const std::string err = process.readAllStandardError().toStdString();
        EXPECT_EQ(process.exitCode(), 69) << dropsPower << err;
        EXPECT_NE(err.find(named), std::string::npos) << dropsPower << err;
        EXPECT_NE(err.find(self), std::string::npos) << dropsPower << err;
    }
    EXPECT_EQ(Letters(), "");
}

// The window's port names reach the same line: COM<n> is TALLISK_COM<n>'s
// device, and a command that finds no USB reader points to that line.
TEST_F(CliOnSerial, TheWindowsPortNamesNameTheSameLine) {
    const auto run = [this](const QStringList& args) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TALLISK_COM3"), QString::fromStdString(reader.Path()));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TALLISK_CLI), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return Ended{process.exitCode(), process.readAllStandardOutput().toStdString(),
                     process.readAllStandardError().toStdString()};
    };
    for (const char* port : {"COM3", "com3"}) {
        const Ended read = run({QStringLiteral("--serial"), QString::fromUtf8(port), "read"});
        EXPECT_EQ(read.status, 0) << port << " " << read.err;
        EXPECT_NE(read.out.find(reader.Path()), std::string::npos) << read.out;
    }
    EXPECT_EQ(Letters(), "RR");
    const Ended usb = run({"read"});
    if (usb.err.find("no reader found on USB") == std::string::npos) {
        GTEST_SKIP() << "a USB reader is present here";
    }
    EXPECT_EQ(usb.status, 69);
    EXPECT_NE(usb.err.find("TALLISK_COM3 names the serial line " + reader.Path() +
                           ": for a reader there, add --serial COM3"),
              std::string::npos)
        << usb.err;
}

}  // namespace

namespace {

// Under --json every way a command can end prints one JSON document on
// standard output, with "ok", "exit" and, on a failure, "error".
TEST_F(CliOnSerial, EveryWayACommandEndsPrintsOneJsonDocument) {
    const Ended saved = Cli({"read", "--json"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::string good = File("good.json", saved.out);
    const std::string changed = File(
        "changed.json", Replaced(saved.out, "\"checkCode\": \"E13B\"", "\"checkCode\": \"CMC7\""));
    const std::string named =
        File("named.json",
             Replaced(Replaced(saved.out, "\"CUSTOM\"", "\"KELVRA\""), "\"E13B\"", "\"CMC7\""));
    const std::string broken = File("broken.json", "{");
    const struct {
        std::vector<std::string> args;
        ReaderFaults faults;
        int exit;
    } cases[] = {
        {{"read", "--json"}, {}, 0},
        {{"verify", good, "--json"}, {}, 0},
        {{"verify", changed, "--json"}, {}, 1},
        {{"write", good, "--json"}, {}, 0},
        {{"write", named, "--json"}, {}, 64},
        {{"write", broken, "--json"}, {}, 64},
        {{"send", "Device_Connect", "--json"}, {}, 0},
        {{"send", "--list", "--json"}, {}, 0},
        {{"send", "Device_Initial", "--json"}, {.refuse = true}, 1},
        {{"send", "MSR_Read_Limit", "--json"}, {}, 64},
        {{"read", "--json", "--force"}, {}, 64},
        {{"read", "--json"}, {.silent = true}, 74},
        {{"read", "--json"}, {.garbage = true}, 74},  // five bytes: cut short
        {{"write", "--help", "--json"}, {}, 0},
        {{"--json", "--version"}, {}, 0},
        {{"--json", "frobnicate"}, {}, 64},
        {{"watch", "--json", "--all"}, {}, 64},
        {{"read", "--json", "--device", "/dev/null"}, {}, 64},  // two readers named
    };
    for (const auto& c : cases) {
        const std::string shown = ::testing::PrintToString(c.args);
        reader.WithModel([&c](ReaderModel& m) { m.faults = c.faults; });
        const Ended ended = Cli(c.args);
        EXPECT_EQ(ended.status, c.exit) << shown << "\n" << ended.err;
        QJsonParseError error{};
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromStdString(ended.out), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << shown << "\n" << ended.out;
        ASSERT_TRUE(document.isObject()) << shown;
        const QJsonObject o = document.object();
        EXPECT_EQ(o.value("exit").toInt(-1), c.exit) << shown;
        EXPECT_EQ(o.value("ok").toBool(), c.exit == 0) << shown;
        EXPECT_EQ(o.contains("error"), c.exit != 0) << shown;
        if (c.exit != 0) {
            EXPECT_FALSE(o.value("error").toObject().value("message").toString().isEmpty())
                << shown;
        }
    }
    // A file read with --json still loads, its report members and all.
    EXPECT_EQ(Cli({"verify", good}).status, 0);
}

TEST(CliWithoutReader, NoReaderIsOneJsonDocumentToo) {
    QProcess process;
    process.start(QStringLiteral(TALLISK_CLI),
                  {QStringLiteral("--serial"), QStringLiteral("/nonexistent/line"),
                   QStringLiteral("read"), QStringLiteral("--json")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 69);
    const QJsonObject o = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    EXPECT_EQ(o.value("exit").toInt(), 69);
    EXPECT_EQ(o.value("error").toObject().value("device").toString(),
              QStringLiteral("/nonexistent/line"));
}

}  // namespace
