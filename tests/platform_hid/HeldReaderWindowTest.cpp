// The window on a USB reader that another program holds: refused at once,
// nothing sent, the holder named; the reader is the window's once let go.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "ReaderModel.h"
#include "SystemDeviceWindow.h"
#include "protocol/CommandSet.h"

namespace {

Bytes ConfigReply() {
    const ConfigBlock config = ReaderModel::DefaultConfig();
    Bytes report(65, 0);
    std::copy(config.begin(), config.end(), report.begin() + 1);
    return report;
}

// Another program's hold on the node: its own open, locked as every
// program of ours locks the reader it opens.
class OtherProgram {
  public:
    explicit OtherProgram(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~OtherProgram() { LetGo(); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    bool Lock() { return ::flock(fd_, LOCK_EX | LOCK_NB) == 0; }
    void LetGo() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_;
};

TEST(HeldReader, TheWindowNamesTheHolderSendsNothingAndTakesTheReaderOnceLetGo) {
    HidTestbed bed;
    ASSERT_TRUE(bed.Active())
        << "run under umockdev-wrapper or LD_PRELOAD=libumockdev-preload.so.0";
    const std::string path = bed.Add(kReader);
    FakeHidNode& node = *bed.Node(path);
    node.Locked([](FakeHidNode::State& s) { s.featureReport = ConfigReply(); });
    const auto transfers = [&node] {
        return node.Locked(
            [](FakeHidNode::State& s) { return s.featuresSent.size() + s.featureRequests.size(); });
    };
    OtherProgram other(path);
    ASSERT_TRUE(other.Lock());

    ::testing::internal::CaptureStderr();
    WindowOnSystemDevices utility;
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(utility.Status(), "Status: Find Tallisk, Access Denied!");
    // The holder's name as the kernel keeps it, 15 characters at most.
    const std::string holder = std::string(program_invocation_short_name).substr(0, 15) + " (" +
                               std::to_string(::getpid()) + ")";
    const std::string line = std::string(program_invocation_short_name) + ": " + path +
                             ": the reader is in use by " + holder +
                             "; close the other program and try again\n";
    EXPECT_NE(said.find(line), std::string::npos) << said;

    EXPECT_TRUE(utility.Form().Choose(ctl::CommandTypeList, kDeviceConnect));
    QTest::mouseClick(utility.Form().Widget(ctl::SendCmd), Qt::LeftButton);
    EXPECT_TRUE(utility.StatusBecomes("Status: Send Data Fail!")) << utility.Status();
    EXPECT_EQ(transfers(), 0u);

    // Let go, and the connection opened again: the reader is the window's.
    other.LetGo();
    EXPECT_TRUE(utility.Form().Choose(ctl::ConnectModeList, 0));
    EXPECT_TRUE(utility.StatusBecomes("Status: Find Tallisk!")) << utility.Status();
    EXPECT_TRUE(utility.Form().Choose(ctl::CommandTypeList, kDeviceTypeSetup));
    EXPECT_TRUE(
        utility.StatusBecomes("Status: Read Device Config Ok,Please Preserve After Change!"))
        << utility.Status();
    EXPECT_GT(transfers(), 0u);
    OtherProgram late(path);
    EXPECT_FALSE(late.Lock());  // the window holds it now
}

}  // namespace
