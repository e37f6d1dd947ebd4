// The window's serial side: the serial exchange over a port that was never
// opened (writes go nowhere), with a host that routes to a real protocol
// over an in-memory form and a real read test, the way the window does.
//
// The input is a little program. Each step is an opcode byte (taken modulo
// kOpCount) and its operands:
//   0 byte b            a byte received from the line
//   1 n b step          a burst of n bytes b, b+step, b+2*step... (bursts one
//                       after the other, with no poll between, are one burst)
//   2 d                 the serial poll, d * 14 ms (at most 3500) after the last step
//   3                   a serial poll that finds the mode is not serial
//   4 n:u16 f bytes...  a frame of n % 1025 bytes left pending; f bit 0 says
//                       it came from Send Cmd, f >> 1 chooses the command
//                       type ((f >> 1) % 11 - 1); the bytes follow (zeros
//                       past the input's end)
//   5 t                 the command type list changed to (t % 11) - 1
//   6                   Send Cmd
//   7 s v               a click on setting s % 36: radio v of its group, or
//                       the check box toggled
//   8 l i               code list l % 13 set to entry i (none when i is too big)
//   9 k                 the read test: k % 2 = 0 Comparison clicked, 1 Count Again
//
// After every step: the reply and frame lengths stay within their buffers,
// every reply handed to the protocol lies within the reply buffer, the
// status line reads "Status: ..." once anything set it, the read test's
// counts are not negative and never more reads matched than were counted,
// and the poll timer is armed exactly when the serial side still expects to
// run.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "InMemoryForm.h"
#include "ManualPollTimer.h"
#include "channels/common/ExchangeListener.h"
#include "channels/serial/SerialExchange.h"
#include "channels/serial/SerialPort.h"
#include "form/ConfigProtocol.h"
#include "form/ControlIds.h"
#include "form/SettingsExchange.h"
#include "protocol/CommandSet.h"
#include "ui/CheckReadTest.h"

namespace {

using std::chrono::milliseconds;

constexpr int kCommandTypeChoices = kCommandCount + 2;  // -1 to 9
constexpr int kMaxPollDelayMs = 3500;
constexpr int kPollDelayStepMs = 14;

enum Op : uint8_t {
    kReceiveByte,
    kReceiveBurst,
    kPoll,
    kPollOtherMode,
    kQueueFrame,
    kSelectCommand,
    kSendCmd,
    kClickSetting,
    kSelectCode,
    kReadTest,
    kOpCount,
};

// The window's steps for what the serial exchange tells.
class WindowSteps : public ExchangeListener {
  public:
    WindowSteps(InMemoryForm& form, WindowRecord& record)
        : form_(form), record_(record), protocol_(form, record), readTest_(form) {}

    // The exchange whose reply buffer the replies must be.
    void Hears(const SerialExchange& serial) { serial_ = &serial; }

    ConfigProtocol& Protocol() { return protocol_; }
    CheckReadTest& ReadTest() { return readTest_; }

    void Polled() override { protocol_.Save(); }
    void BurstBegan() override {}
    void ReadGrew(const std::string& text) override { form_.SetText(ctl::CheckReadDataBox, text); }
    void ReadCompleted(const std::string& text) override {
        readTest_.CompleteCheckRead(text, record_.comparison != 0);
        protocol_.Load();
    }
    void ReplyCompleted(ReplyUse use, ExchangeResult result, std::span<const uint8_t> reply,
                        int32_t length) override {
        CheckReply(result, reply, length);
        if (use == ReplyUse::Configuration) {
            protocol_.DecodeConfigReply(result, reply, length);
        } else {
            protocol_.ReportExchangeResult(result, reply, length);
        }
        protocol_.Load();
    }
    void ByteReceived() override {
        protocol_.Save();
        protocol_.Load();
    }

  private:
    // A serial reply is the reply buffer itself, with result 0 (the reply
    // decides) or the no-answer result.
    void CheckReply(ExchangeResult result, std::span<const uint8_t> reply, int32_t length) const {
        FUZZ_CHECK(result == 0 || result == SerialExchange::kNoAnswerResult);
        FUZZ_CHECK(reply.data() == serial_->Reply().bytes.data());
        FUZZ_CHECK(reply.size() == serial_->Reply().bytes.size());
        FUZZ_CHECK(length >= 0 && static_cast<size_t>(length) <= reply.size());
    }

    InMemoryForm& form_;
    WindowRecord& record_;
    const SerialExchange* serial_ = nullptr;
    ConfigProtocol protocol_;
    CheckReadTest readTest_;
};

// The radios of each radio-bound setting, in form order.
const std::vector<std::vector<int>>& SettingGroups() {
    static const std::vector<std::vector<int>> groups = [] {
        const InMemoryForm form;
        std::vector<std::vector<int>> all;
        for (const SettingBinding& b : kSettingBindings) {
            all.push_back(b.kind == BindingKind::RadioGroup
                              ? RadioGroupMembers(form.FormOrder(), b.controlId)
                              : std::vector<int>{});
        }
        return all;
    }();
    return groups;
}

class SerialProgram {
  public:
    explicit SerialProgram(FuzzInput& in)
        : in_(in),
          host_(form_, record_),
          serial_(
              host_, slot_, port_, timer_, [this] { return mode_; }, [this] { return now_; }) {
        host_.Hears(serial_);
        // The window starts with "Comparison" checked.
        form_.SetChecked(ctl::ComparisonCheck, true);
    }

    void Run() {
        while (!in_.Empty()) {
            Step(static_cast<Op>(in_.Byte() % kOpCount));
            CheckState();
        }
    }

  private:
    void Step(Op op) {
        switch (op) {
            case kReceiveByte:
                Receive(in_.Byte());
                break;
            case kReceiveBurst: {
                const int count = in_.Byte();
                uint8_t b = in_.Byte();
                const uint8_t step = in_.Byte();
                for (int i = 0; i < count; ++i) {
                    Receive(b);
                    CheckState();
                    b = static_cast<uint8_t>(b + step);
                }
                break;
            }
            case kPoll:
                now_ += milliseconds(std::min(in_.Byte() * kPollDelayStepMs, kMaxPollDelayMs));
                mode_ = kSerialMode;
                serial_.Poll();
                FUZZ_CHECK(timer_.Active());
                break;
            case kPollOtherMode:
                mode_ = kUsbHidMode;
                serial_.Poll();
                FUZZ_CHECK(!timer_.Active());
                break;
            case kQueueFrame:
                QueueFrame();
                break;
            case kSelectCommand:
                // As the window does on a change of the command type list.
                host_.Protocol().Save();
                host_.Protocol().SetCommandType(in_.Byte() % kCommandTypeChoices - 1);
                slot_.Apply(host_.Protocol().PrepareCommandFrame());
                host_.Protocol().Load();
                break;
            case kSendCmd:
                slot_.Apply(host_.Protocol().BuildCommandFrame());
                break;
            case kClickSetting:
                ClickSetting();
                break;
            case kSelectCode: {
                const CodeBinding& code = kCodeBindings[in_.Byte() % kCodeBindings.size()];
                form_.SelectIndex(code.listId, in_.Byte());
                break;
            }
            case kReadTest:
                ReadTestControl();
                break;
            case kOpCount:
                break;
        }
    }

    void Receive(uint8_t byte) {
        serial_.OnSerialByte(byte);
        FUZZ_CHECK(serial_.BurstActive());
        FUZZ_CHECK(timer_.Active());
    }

    void QueueFrame() {
        const int length = in_.Word() % (kExchangeBufferSize + 1);
        const uint8_t flags = in_.Byte();
        host_.Protocol().SetCommandType((flags >> 1) % kCommandTypeChoices - 1);
        const std::span<const uint8_t> bytes = in_.Bytes(static_cast<size_t>(length));
        slot_.Apply({FrameOrder::Action::Send,
                     {bytes.begin(), bytes.end()},
                     (flags & 1) != 0 ? ReplyUse::Status : ReplyUse::Configuration});
    }

    // A click between polls: a radio checks itself and clears the rest of
    // its group; a check box toggles.
    void ClickSetting() {
        const size_t index = in_.Byte() % kSettingBindings.size();
        const uint8_t choice = in_.Byte();
        const SettingBinding& binding = kSettingBindings[index];
        const std::vector<int>& group = SettingGroups()[index];
        if (binding.kind == BindingKind::CheckBox) {
            form_.SetChecked(binding.controlId, !form_.IsChecked(binding.controlId));
        } else if (!group.empty()) {
            const size_t chosen = choice % group.size();
            for (size_t i = 0; i < group.size(); ++i) {
                form_.SetChecked(group[i], i == chosen);
            }
        }
    }

    void ReadTestControl() {
        if (in_.Byte() % 2 == 0) {
            form_.SetChecked(ctl::ComparisonCheck, !form_.IsChecked(ctl::ComparisonCheck));
            host_.ReadTest().OnComparison();
        } else {
            host_.ReadTest().OnCountAgain();
        }
    }

    void CheckState() {
        FUZZ_CHECK(serial_.Reply().length >= 0 && serial_.Reply().length <= kExchangeBufferSize);
        FUZZ_CHECK(slot_.Frame().size() <= static_cast<size_t>(kExchangeBufferSize));
        const std::string shown = form_.Text(ctl::StatusLine);
        statusSet_ = statusSet_ || !shown.empty() || !record_.statusText.empty();
        if (statusSet_) {
            FUZZ_CHECK(shown.rfind(status::kPrefix, 0) == 0);
            FUZZ_CHECK(record_.statusText.rfind(status::kPrefix, 0) == 0);
        }
        const CheckReadTest& test = host_.ReadTest();
        FUZZ_CHECK(test.TotalCount() >= 0 && test.SuccessCount() >= 0);
        FUZZ_CHECK(test.SuccessCount() <= test.TotalCount());
    }

    FuzzInput& in_;
    InMemoryForm form_;
    WindowRecord record_;
    FrameSlot slot_;
    // Never opened, the port hands nothing over: it needs no mailbox of its
    // own (no Qt object) for that.
    SerialPort port_{nullptr, [](std::function<void()>) {}};
    WindowSteps host_;
    ManualPollTimer timer_;
    ConnectMode mode_ = kSerialMode;
    std::chrono::steady_clock::time_point now_{};
    SerialExchange serial_;
    bool statusSet_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    SerialProgram program(in);
    program.Run();
    return 0;
}
