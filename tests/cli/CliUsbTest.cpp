// tallisk-cli on the system's USB path: hidapi, sysfs, the node's ioctls and
// the udev monitor are the real ones, on fake devices in a umockdev testbed
// that the program, started from here, shares.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QProcess>
#include <string>
#include <vector>

#include "FakeDevices.h"
#include "FakeReader.h"
#include "HidTestbed.h"
#include "platform/hid/HidPlatform.h"
#include "protocol/Configuration.h"
#include "sim/ReaderModel.h"

namespace {

struct Ended {
    int status = -1;
    std::string out;
    std::string err;
};

Ended Cli(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(TALLISK_CLI), args);
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

class CliOnUsb : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!bed.Active()) {
            GTEST_SKIP() << "needs the umockdev preload";
        }
    }
    std::string AddReader(ReaderModel& model) {
        const std::string path = bed.Add(kReader);
        AttachReader(*bed.Node(path), model);
        return path;
    }

    HidTestbed bed;
};

TEST_F(CliOnUsb, ReadsAndWritesTheOneReaderPresent) {
    bed.Add(kMouse);
    ReaderModel model;
    const std::string path = AddReader(model);
    const Ended read = Cli({"read", "--json"});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("\"checkCode\": \"E13B\""), std::string::npos) << read.out;
    EXPECT_EQ(Letters(*bed.Node(path)), "R");

    std::string changed = read.out;
    changed.replace(changed.find("\"E13B\""), 6, "\"CMC7\"");
    QProcess write;
    write.start(QStringLiteral(TALLISK_CLI),
                {"write", "--json", "--device", QString::fromStdString(path), "-"});
    write.write(changed.data(), static_cast<qint64>(changed.size()));
    write.closeWriteChannel();
    ASSERT_TRUE(write.waitForFinished(60000));
    EXPECT_EQ(write.exitCode(), 0) << write.readAllStandardError().toStdString();
    EXPECT_NE(write.readAllStandardOutput().indexOf("\"changed\": true"), -1);
    EXPECT_EQ(Letters(*bed.Node(path)), "RRSR");
    EXPECT_EQ(DecodeConfiguration(model.Config()).settings.checkCode, 1);
}

// A reader that answers every transfer with its previous reply, an
// acknowledgement: no read believes it and no block is built on it.
TEST_F(CliOnUsb, AStaleAcknowledgementIsNoConfiguration) {
    ReaderModel model;
    const std::string path = AddReader(model);
    const Ended saved = Cli({"read", "--json"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    FakeHidNode& node = *bed.Node(path);
    node.Locked([](FakeHidNode::State& state) {
        state.onFeatureSent = nullptr;
        state.featureReport.assign(kFakeFeatureReportLength, 0);
        state.featureReport[1] = 0x1B;
        state.featureReport[2] = '0';
        return 0;
    });
    QProcess write;
    write.start(QStringLiteral(TALLISK_CLI), {"write", "--force", "-"});
    write.write(saved.out.data(), static_cast<qint64>(saved.out.size()));
    write.closeWriteChannel();
    ASSERT_TRUE(write.waitForFinished(60000));
    const std::string said = write.readAllStandardError().toStdString();
    EXPECT_EQ(write.exitCode(), 1) << said;
    EXPECT_NE(said.find("not a configuration"), std::string::npos) << said;
    EXPECT_EQ(Cli({"read"}).status, 1);
    EXPECT_EQ(Letters(node), "RRR") << "no block went out";
}

TEST_F(CliOnUsb, AllReportsEachReaderAndFailsWhenOneSaysNo) {
    ReaderModel good;
    ReaderModel refusing;
    refusing.faults.refuse = true;
    const std::string first = AddReader(good);
    const std::string second = AddReader(refusing);

    const Ended both = Cli({"--all", "--json", "send", "Device_Initial"});
    EXPECT_EQ(both.status, 1) << both.err;
    for (const std::string& path : {first, second}) {
        EXPECT_NE(both.out.find("\"device\": \"" + path + "\""), std::string::npos) << both.out;
    }
    EXPECT_NE(both.out.find("\"exit\": 0"), std::string::npos) << both.out;
    EXPECT_NE(both.out.find("\"exit\": 1"), std::string::npos) << both.out;

    const Ended one = Cli({"read"});
    EXPECT_EQ(one.status, 69);
    EXPECT_NE(one.err.find("more than one reader"), std::string::npos) << one.err;
}

TEST_F(CliOnUsb, NoReaderAndAReaderPulledMidCommandSayWhy) {
    bed.Add(kMouse);
    const Ended none = Cli({"read"});
    EXPECT_EQ(none.status, 69);
    EXPECT_NE(none.err.find("no reader"), std::string::npos) << none.err;

    ReaderModel model;
    const std::string path = AddReader(model);
    FakeHidNode* node = bed.Node(path);
    node->HoldFeatures();
    QProcess read;
    read.start(QStringLiteral(TALLISK_CLI), {"read"});
    ASSERT_TRUE(read.waitForStarted());
    // Pulled while the program waits on its first transfer.
    for (int i = 0; i < 600 && node->HeldTransfers() == 0; ++i) {
        read.waitForFinished(50);
    }
    EXPECT_GT(node->HeldTransfers(), 0);
    // Gone for good: the held transfer never comes back with an answer.
    node->Locked([](FakeHidNode::State& state) {
        state.onFeatureSent = nullptr;
        state.featureReport.clear();
        return 0;
    });
    bed.Remove(path);
    ASSERT_TRUE(read.waitForFinished(60000));
    EXPECT_TRUE(read.exitCode() == 74 || read.exitCode() == 69) << read.exitCode();
    EXPECT_NE(read.readAllStandardError().indexOf(QByteArray::fromStdString(path)), -1);
}

// A node this user may not open: the reader is found, nothing is sent, and
// the failure names the node and the fix. The program runs without root's
// power to pass over permissions.
TEST_F(CliOnUsb, ANodeTheUserMayNotOpenSaysWhyAndSendsNothing) {
    ReaderModel model;
    const std::string path = AddReader(model);
    ASSERT_TRUE(bed.MakeNodeInaccessible(path));
    QProcess read;
    read.setChildProcessModifier([] {
        if (!DropFilePermissionOverride()) {
            ::_exit(2);
        }
    });
    read.start(QStringLiteral(TALLISK_CLI), {"read"});
    ASSERT_TRUE(read.waitForFinished(60000));
    const std::string err = read.readAllStandardError().toStdString();
    EXPECT_EQ(read.exitCode(), 69) << err;
    EXPECT_NE(err.find(path), std::string::npos) << err;
    EXPECT_NE(err.find("70-tallisk.rules"), std::string::npos) << err;
    EXPECT_EQ(Letters(*bed.Node(path)), "");
}

// One program per reader: while another program holds the reader, a read
// is refused at once, names the holder and the fix, and sends nothing; once
// the holder lets go, the reader is anybody's again.
TEST_F(CliOnUsb, AReaderThisProcessHoldsIsRefusedToTheProgramUntilLetGo) {
    ReaderModel model;
    const std::string path = AddReader(model);
    std::unique_ptr<HidPlatform> platform = MakeLinuxHidPlatform();
    ASSERT_NE(platform, nullptr);
    std::unique_ptr<HidDevice> held = platform->Open(path);
    ASSERT_NE(held, nullptr);

    const Ended refused = Cli({"read"});
    EXPECT_EQ(refused.status, 69) << refused.err;
    const std::string self = "(" + std::to_string(::getpid()) + ")";
    for (const std::string& part :
         {path, std::string("in use by"), self, std::string("close the other program")}) {
        EXPECT_NE(refused.err.find(part), std::string::npos) << part << " in " << refused.err;
    }
    EXPECT_EQ(Letters(*bed.Node(path)), "");

    held.reset();
    const Ended read = Cli({"read"});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(Letters(*bed.Node(path)), "R");
}

// Two programs on one reader: the first waits for its answer, holding the
// reader; the second is refused naming the first, and nothing of the second
// reaches the reader. The first ends well, and its lock goes with it.
TEST_F(CliOnUsb, ASecondProgramIsRefusedNamingTheFirstAndSendsNothing) {
    ReaderModel model;
    const std::string path = bed.Add(kReader);
    FakeHidNode& node = *bed.Node(path);  // answers nothing yet: the first waits
    QProcess first;
    first.start(QStringLiteral(TALLISK_CLI), {"read"});
    ASSERT_TRUE(first.waitForStarted());
    for (int i = 0; i < 600 && Letters(node).empty(); ++i) {
        first.waitForFinished(50);
    }
    ASSERT_EQ(Letters(node), "R") << first.readAllStandardError().toStdString();

    const Ended second = Cli({"read", "--device", QString::fromStdString(path)});
    EXPECT_EQ(second.status, 69) << second.err;
    const std::string holder = "tallisk-cli (" + std::to_string(first.processId()) + ")";
    EXPECT_NE(second.err.find(path + ": the reader is in use by " + holder), std::string::npos)
        << second.err;
    EXPECT_EQ(Letters(node), "R");

    const std::vector<uint8_t> reply = model.HandleFrame(std::vector<uint8_t>{0x1B, 'R'});
    node.Locked([&reply](FakeHidNode::State& state) {
        state.featureReport.assign(kFakeFeatureReportLength, 0);
        std::copy(reply.begin(), reply.end(), state.featureReport.begin() + 1);
        return 0;
    });
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    AttachReader(node, model);
    EXPECT_EQ(Cli({"read"}).status, 0);
    EXPECT_EQ(Letters(node), "RR");
}

}  // namespace
