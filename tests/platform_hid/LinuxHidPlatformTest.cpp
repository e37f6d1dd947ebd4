// The Linux back end against fake devices: real hidapi, sysfs and ioctl code
// under the umockdev preload.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <hidapi.h>
#include <sys/file.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "FakeDevices.h"
#include "HidTestbed.h"
#include "ReportDescriptors.h"
#include "platform/advice/PortHolders.h"
#include "platform/hid/HidPlatform.h"

namespace {

using report_items::Cat;

class LinuxHidPlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bed_.Active())
            << "run under umockdev-wrapper or LD_PRELOAD=libumockdev-preload.so.0";
        platform_ = MakeLinuxHidPlatform();
        ASSERT_NE(platform_, nullptr);
    }

    struct Opened {
        FakeHidNode* node = nullptr;
        std::unique_ptr<HidDevice> device;
    };
    Opened AddAndOpen(const FakeUsbHid& device) {
        const std::string path = bed_.Add(device);
        return {bed_.Node(path), platform_->Open(path)};
    }

    HidTestbed bed_;
    std::unique_ptr<HidPlatform> platform_;
};

size_t RawRecordsFor(const std::string& path) {
    size_t count = 0;
    hid_device_info* records = hid_enumerate(0, 0);
    for (const hid_device_info* r = records; r != nullptr; r = r->next) {
        count += path == r->path ? 1 : 0;
    }
    hid_free_enumeration(records);
    return count;
}

TEST_F(LinuxHidPlatformTest, EnumerationGivesIdentityAndStringsOncePerPathInOrder) {
    EXPECT_TRUE(platform_->Enumerate().empty());

    const std::string mouse = bed_.Add(kMouse);
    const std::string reader = bed_.Add(kReader);
    const std::string otherVersion = bed_.Add(kReaderOtherVersion);
    ASSERT_EQ(RawRecordsFor(reader), 2u) << "hidapi lists each top-level collection";

    const struct {
        std::string path;
        const FakeUsbHid& device;
    } expected[] = {{mouse, kMouse}, {reader, kReader}, {otherVersion, kReaderOtherVersion}};
    const std::vector<HidDeviceInfo> found = platform_->Enumerate();
    ASSERT_EQ(found.size(), std::size(expected));
    for (size_t i = 0; i < found.size(); ++i) {
        const FakeUsbHid& device = expected[i].device;
        EXPECT_EQ(found[i].path, expected[i].path) << i;
        EXPECT_EQ(found[i].vendorId, device.vendorId) << i;
        EXPECT_EQ(found[i].productId, device.productId) << i;
        EXPECT_EQ(found[i].releaseNumber, device.release) << i;
        EXPECT_EQ(found[i].productString, device.product) << i;
        EXPECT_EQ(found[i].manufacturerString, device.manufacturer) << i;
    }
}

TEST_F(LinuxHidPlatformTest, NonAsciiStringsArriveAsUtf8UnderAUtf8Locale) {
    FakeUsbHid device = kReader;
    device.product = "Ch\u00E8que \u8BFB\u5361\u5668";
    bed_.Add(device);

    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    const std::vector<HidDeviceInfo> found = platform_->Enumerate();
    std::setlocale(LC_CTYPE, previous.c_str());

    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].productString, device.product);
}

TEST_F(LinuxHidPlatformTest, ReportLengthsComeFromTheDescriptorInSysfsOrFromTheNode) {
    FakeUsbHid nodeOnly = kReaderOtherVersion;
    nodeOnly.descriptorInSysfs = false;
    FakeUsbHid malformed = kMouse;
    malformed.descriptor = Cat({report_items::kBootMouse, {0x95}});

    const struct {
        std::string name;
        std::string path;
        std::optional<HidReportLengths> lengths;
    } cases[] = {
        {"reader", bed_.Add(kReader), HidReportLengths{9, 2, 65}},
        {"mouse", bed_.Add(kMouse), HidReportLengths{4, 0, 0}},
        {"descriptor only through the node", bed_.Add(nodeOnly), HidReportLengths{9, 9, 9}},
        {"descriptor cut short", bed_.Add(malformed), std::nullopt},
        {"no such node", "/dev/hidraw42", std::nullopt},
        {"not a HID node", "/dev/null", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform_->ReportLengths(c.path), c.lengths) << c.name;
    }
}

TEST_F(LinuxHidPlatformTest, FeatureReportsTravelWithReportIdZeroAtFullLength) {
    auto [node, device] = AddAndOpen(kReader);
    ASSERT_TRUE(node != nullptr && device != nullptr);
    constexpr size_t kLength = 65;  // the reader's feature report, id byte included

    Bytes command(kLength, 0);
    command[1] = 0x1B;
    command[2] = 'R';
    ASSERT_TRUE(device->SendFeatureReport(command));

    Bytes answer(kLength, 0);
    answer[1] = 0x1B;
    answer[2] = '0';
    answer[kLength - 1] = 0x5A;
    node->Locked([&](auto& fake) { fake.featureReport = answer; });
    Bytes reply(kLength, 0xEE);
    reply[0] = 0;
    ASSERT_EQ(device->GetFeatureReport(reply), static_cast<int>(kLength));
    EXPECT_EQ(reply, answer);

    node->Locked([&](auto& fake) {
        EXPECT_EQ(fake.featuresSent, std::vector<Bytes>{command});
        ASSERT_EQ(fake.featureRequests.size(), 1u);
        EXPECT_EQ(fake.featureRequests[0].size(), kLength);
        EXPECT_EQ(fake.featureRequests[0][0], 0);
    });
}

TEST_F(LinuxHidPlatformTest, FailedTransfersAreReportedAndTheDeviceStaysUsable) {
    auto [node, device] = AddAndOpen(kReader);
    ASSERT_TRUE(node != nullptr && device != nullptr);

    Bytes reply(65, 0);
    EXPECT_EQ(device->GetFeatureReport(reply), -1);  // the device stalls the request
    EXPECT_FALSE(device->SendFeatureReport({}));
    EXPECT_EQ(device->GetFeatureReport({}), -1);
    EXPECT_EQ(device->WriteOutputReport({}), -1);
    EXPECT_EQ(device->ReadInputReport({}), -1);

    node->Locked([](auto& fake) { fake.featureReport = Bytes(65, 7); });
    EXPECT_EQ(device->GetFeatureReport(reply), 65);
}

// hidraw hands over an input report as the device sent it: with the id byte
// first only when the device numbers its reports. Output reports always start
// with the id byte.
TEST_F(LinuxHidPlatformTest, InputAndOutputReportsStartWithTheIdByteAndReadsNeverWait) {
    using namespace report_items;
    FakeUsbHid numbered = kReaderOtherVersion;
    numbered.descriptor =
        Cat({kVendorCollection, Size(8), Id(2), Count(8), Input(), Output(), kEnd});

    const struct {
        std::string name;
        FakeUsbHid device;
        Bytes sent;
        Bytes read;
    } cases[] = {
        {"no report ids",
         kReaderOtherVersion,
         {1, 2, 3, 4, 5, 6, 7, 8},
         {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"report ids", numbered, {2, 1, 2, 3, 4, 5, 6, 7, 8}, {2, 1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        auto [node, device] = AddAndOpen(c.device);
        ASSERT_TRUE(node != nullptr && device != nullptr) << c.name;

        Bytes input(9, 0xEE);
        EXPECT_EQ(device->ReadInputReport(input), 0) << c.name;
        node->Locked([&](auto& fake) { fake.inputReports.push_back(c.sent); });
        EXPECT_EQ(device->ReadInputReport(input), 9) << c.name;
        EXPECT_EQ(input, c.read) << c.name;
        EXPECT_EQ(device->ReadInputReport(input), 0) << c.name;

        EXPECT_EQ(device->WriteOutputReport(c.read), 9) << c.name;
        node->Locked(
            [&](auto& fake) { EXPECT_EQ(fake.outputsWritten, std::vector<Bytes>{c.read}); });
    }
}

TEST_F(LinuxHidPlatformTest, OpenGivesNothingForAPathThatCannotBeOpened) {
    bed_.Add(kReader);
    for (const std::string path : {"/dev/hidraw42", "", "/sys/class/hidraw"}) {
        EXPECT_EQ(platform_->Open(path), nullptr) << path;
    }
}

// Another program's hold on a node: its own open of the node, locked as
// every program of ours locks what it opens. -1 when the lock is taken.
class OtherProgram {
  public:
    explicit OtherProgram(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~OtherProgram() { ::close(fd_); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    // 0, or the errno value of a lock that another holder keeps from it.
    int Lock() { return ::flock(fd_, LOCK_EX | LOCK_NB) == 0 ? 0 : errno; }

  private:
    int fd_;
};

size_t FeaturesSent(FakeHidNode& node) {
    return node.Locked([](FakeHidNode::State& s) { return s.featuresSent.size(); });
}

TEST_F(LinuxHidPlatformTest, ANodeAnotherProgramHoldsIsRefusedAndNamesItsHolder) {
    const std::string path = bed_.Add(kReader);
    FakeHidNode& node = *bed_.Node(path);
    {
        OtherProgram other(path);
        ASSERT_EQ(other.Lock(), 0);
        EXPECT_EQ(platform_->Open(path), nullptr);
        EXPECT_EQ(platform_->OpenError(), EWOULDBLOCK);
        // The lock table names the holder, the node's own path finds it.
        const std::string self = "(" + std::to_string(::getpid()) + ")";
        EXPECT_NE(PortHolders(path).find(self), std::string::npos) << PortHolders(path);
    }
    // Let go: the node opens, and its reports go out.
    std::unique_ptr<HidDevice> device = platform_->Open(path);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(platform_->OpenError(), 0);
    const Bytes report(65, 0);
    EXPECT_TRUE(device->SendFeatureReport(report));
    EXPECT_EQ(FeaturesSent(node), 1u);
}

// The lock is this program's from the first open to the last close of the
// node: a second open here shares it (a transfer may still hold the first),
// another program is kept out until both are closed.
TEST_F(LinuxHidPlatformTest, TheLockLastsFromTheFirstOpenToTheLastClose) {
    const std::string path = bed_.Add(kReader);
    std::unique_ptr<HidDevice> first = platform_->Open(path);
    ASSERT_NE(first, nullptr);
    std::unique_ptr<HidDevice> second = platform_->Open(path);
    ASSERT_NE(second, nullptr);
    OtherProgram other(path);
    EXPECT_EQ(other.Lock(), EWOULDBLOCK);
    first.reset();
    EXPECT_EQ(other.Lock(), EWOULDBLOCK);
    second.reset();
    EXPECT_EQ(other.Lock(), 0);
    EXPECT_EQ(platform_->Open(path), nullptr);  // now the other program's
}

// Identity and report lengths come without any access to the node: a device
// that cannot be opened can still be recognised. The check runs in a forked
// child, which shares the testbed and first gives up root's power to pass
// over permissions.
TEST_F(LinuxHidPlatformTest, WithoutAccessToTheNodeItIsStillKnownButDoesNotOpen) {
    const std::string path = bed_.Add(kReader);
    ASSERT_TRUE(bed_.MakeNodeInaccessible(path));
    const auto checkUnprivileged = [&] {
        if (!DropFilePermissionOverride()) {
            std::_Exit(2);
        }
        const bool listed = platform_->Enumerate().size() == 1;
        const bool lengths = platform_->ReportLengths(path) == HidReportLengths{9, 2, 65};
        const bool refused = platform_->Open(path) == nullptr;
        std::_Exit((listed ? 0 : 4) | (lengths ? 0 : 8) | (refused ? 0 : 16));
    };
    EXPECT_EXIT(checkUnprivileged(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
