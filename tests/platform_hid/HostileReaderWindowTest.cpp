// The window with readers that misbehave on the system's HID path: feature
// transfers held up, replies cut short, events repeated in a burst.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTimer>
#include <atomic>
#include <chrono>

#include "ReaderModel.h"
#include "SystemDeviceWindow.h"
#include "protocol/CommandSet.h"

namespace {

const std::string kConfigOk = "Status: Read Device Config Ok,Please Preserve After Change!";
const std::string kConfigFailed = "Status: Read Device Config Fail!";

// A feature report of the reader's length (64 bytes and the id) whose
// payload begins with these bytes.
Bytes FeatureReport(const std::vector<uint8_t>& payload, size_t length = 65) {
    Bytes report(length, 0);
    std::copy_n(payload.begin(), std::min(payload.size(), length - 1), report.begin() + 1);
    return report;
}

Bytes ConfigReply() {
    const ConfigBlock config = ReaderModel::DefaultConfig();
    return FeatureReport(std::vector<uint8_t>(config.begin(), config.end()));
}

// Counts the searches of the system's HID devices that the window makes.
class CountingPlatform : public HidPlatform {
  public:
    explicit CountingPlatform(std::unique_ptr<HidPlatform> system) : system_(std::move(system)) {}
    std::vector<HidDeviceInfo> Enumerate() override {
        ++enumerations;
        return system_->Enumerate();
    }
    std::optional<HidReportLengths> ReportLengths(const std::string& path) override {
        return system_->ReportLengths(path);
    }
    std::unique_ptr<HidDevice> Open(const std::string& path) override {
        return system_->Open(path);
    }
    int OpenError() const override { return system_->OpenError(); }
    bool Present(const std::string& path) override { return system_->Present(path); }

    std::atomic<int> enumerations{0};

  private:
    std::unique_ptr<HidPlatform> system_;
};

class HostileReader : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bed.Active())
            << "run under umockdev-wrapper or LD_PRELOAD=libumockdev-preload.so.0";
    }
    // Lets go of every transfer the node still holds before the window goes.
    void TearDown() override {
        if (node != nullptr) {
            node->LetGo();
        }
    }
    FakeHidNode* AddReader(const Bytes& featureReport) {
        node = bed.Node(bed.Add(kReader));
        node->Locked([&](FakeHidNode::State& s) { s.featureReport = featureReport; });
        return node;
    }
    std::vector<Bytes> FeaturesSent() {
        return node->Locked([](FakeHidNode::State& s) { return s.featuresSent; });
    }

    HidTestbed bed;
    FakeHidNode* node = nullptr;
};

TEST_F(HostileReader, TheWindowGoesOnWhileTheReaderHoldsATransfer) {
    AddReader(ConfigReply());
    WindowOnSystemDevices utility;
    ASSERT_EQ(utility.Status(), "Status: Find Tallisk!");
    auto* comparison = qobject_cast<QCheckBox*>(utility.Form().Widget(ctl::ComparisonCheck));
    ASSERT_NE(comparison, nullptr);
    const bool checkedBefore = comparison->isChecked();

    // The exchange runs inside the window's event loop: what the user does
    // meanwhile happens in that loop too, here on the ticks of a probe.
    int ticksWhileHeld = 0;
    bool runningWhileHeld = false;
    bool clickLanded = false;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (node->HeldTransfers() != 1) {
            return;
        }
        if (++ticksWhileHeld == 1) {
            runningWhileHeld = utility.Window().Usb().Running();
            QTest::mouseClick(comparison, Qt::LeftButton);
            clickLanded = comparison->isChecked() != checkedBefore;
        } else if (ticksWhileHeld == 5) {
            node->LetGo();
        }
    });
    probe.start();
    node->HoldFeatures();
    EXPECT_TRUE(utility.Form().Choose(ctl::CommandTypeList, kDeviceTypeSetup));
    EXPECT_TRUE(utility.StatusBecomes(kConfigOk)) << utility.Status();
    EXPECT_GE(ticksWhileHeld, 5);
    EXPECT_TRUE(runningWhileHeld);
    EXPECT_TRUE(clickLanded);
}

TEST_F(HostileReader, AnExchangeEndsWithinItsLimitWhileTheReaderHoldsOn) {
    AddReader(ConfigReply());
    WindowOnSystemDevices utility;
    utility.hid.SetWaitLimit(std::chrono::milliseconds(500));
    node->HoldFeatures();  // and never lets go
    EXPECT_TRUE(utility.Form().Choose(ctl::CommandTypeList, kDeviceTypeSetup));
    EXPECT_TRUE(utility.StatusBecomes(kConfigFailed)) << utility.Status();
    EXPECT_FALSE(utility.Window().Usb().Running());
    EXPECT_TRUE(utility.Form().IsEnabled(ctl::CommandTypeList));
    // The window and the channel go while the reader still holds a transfer.
}

TEST_F(HostileReader, AShortConfigurationReplyFailsAndNothingIsWrittenBack) {
    const struct {
        const char* name;
        Bytes reply;
    } cases[] = {
        {"only the id byte", Bytes{0}},
        {"ten bytes", FeatureReport({'0', 1, 2, 3, 4, 5, 6, 7, 8, 9}, 11)},
        {"one byte short of the block",
         [] {
             Bytes whole = ConfigReply();
             whole.resize(24);
             return whole;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = bed.Add(kReader);
        node = bed.Node(path);
        node->Locked([&](FakeHidNode::State& s) { s.featureReport = c.reply; });
        WindowOnSystemDevices utility;
        ASSERT_EQ(utility.Status(), "Status: Find Tallisk!");
        EXPECT_TRUE(utility.Form().Choose(ctl::CommandTypeList, kDeviceTypeSetup));
        EXPECT_TRUE(utility.StatusBecomes(kConfigFailed)) << utility.Status();
        // Nothing decoded: the settings stay closed, Send Cmd sends nothing
        // built from the reply.
        EXPECT_FALSE(utility.Form().IsEnabled(ctl::CustomRadio));
        if (utility.Form().IsEnabled(ctl::SendCmd)) {
            QTest::mouseClick(utility.Form().Widget(ctl::SendCmd), Qt::LeftButton);
            QTest::qWait(300);
        }
        for (const Bytes& sent : FeaturesSent()) {
            EXPECT_FALSE(sent.size() > 2 && sent[1] == 0x1B && sent[2] == 'S');
        }
        bed.Remove(path);  // the next case's reader is another node
        node = nullptr;
    }
}

TEST_F(HostileReader, ABurstOfArrivalsCostsOneSearch) {
    const std::string mouse = bed.Add(kMouse);
    auto counting = std::make_unique<CountingPlatform>(MakeLinuxHidPlatform());
    CountingPlatform& platform = *counting;
    WindowOnSystemDevices utility(std::move(counting));
    ASSERT_EQ(utility.Status(), "Status: Not Find Tallisk!\r\n");
    QTest::qWait(100);
    platform.enumerations = 0;

    // Ten events sent before the window reads any (the testbed's event
    // socket takes no more).
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(bed.Announce(mouse, "add"));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return platform.enumerations > 0; }, 5000));
    QTest::qWait(700);  // past any retry of the search
    EXPECT_EQ(platform.enumerations, 1);
    EXPECT_EQ(utility.Status(), "Status: Not Find Tallisk!\r\n");

    // The reader arriving after the burst is still found.
    AddReader(ConfigReply());
    EXPECT_TRUE(utility.StatusBecomes("Status: Tallisk Is Connected!"));
}

}  // namespace
