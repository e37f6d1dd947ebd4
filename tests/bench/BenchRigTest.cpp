// The benchmarks' rig keeps working the window as the program does, and the
// measures' watches keep seeing what they count: the read-back measure's
// trials complete, and the idle measure counts the window's poll ticks.
// Checks of what is seen, never of how long it took.
#include <gtest/gtest.h>

#include <QApplication>
#include <optional>
#include <random>

#include "BenchApplication.h"
#include "BenchRig.h"
#include "BenchSupport.h"
#include "ReadBackWatch.h"
#include "ReaderModel.h"

namespace bench {
namespace {

constexpr int kWaitMs = 5000;

struct ModeCase {
    const char* name;
    int mode;
};
constexpr ModeCase kModes[] = {{"USB", kUsbMode}, {"serial", kSerialMode}};

bool PollsIn(BenchRig& rig, int mode) {
    return RunUntil(
        [&] {
            return mode == kUsbMode ? rig.window->UsbPollRunning()
                                    : rig.window->SerialPollRunning();
        },
        kWaitMs);
}

TEST(BenchRig, RunsTheWindowModallyAsTheProgramDoes) {
    BenchRig rig;
    bool modal = false;
    bool shown = false;
    EXPECT_EQ(rig.Run([&] {
        modal = QApplication::activeModalWidget() == rig.window.get();
        shown = rig.window->isVisible();
        return 7;
    }),
              7);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(rig.window->isVisible()) << "the run ends when its body returns";
}

TEST(BenchRig, ReadBackTrialsCompleteOnBothChannels) {
    BenchRig rig;
    const auto replyBytes = static_cast<int>(ReaderModel::DefaultConfig().size());
    rig.Run([&] {
        for (const ModeCase& c : kModes) {
            SCOPED_TRACE(c.name);
            if (c.mode != rig.window->ConnectModeIndex()) {
                rig.ChooseConnectMode(c.mode);
            }
            EXPECT_TRUE(PollsIn(rig, c.mode));
            ReadBackWatch watch(BenchApplication::Instance(), rig);
            std::mt19937 random(1);
            // Twice: a trial also begins while the form already shows the
            // configuration of the one before.
            for (int trial = 0; trial < 2; ++trial) {
                const std::optional<ReadBackTrial> t = watch.Run(random);
                EXPECT_TRUE(t.has_value()) << "trial " << trial << ": " << rig.Status();
                if (!t) {
                    break;
                }
                EXPECT_GE(t->pollTicks, 1) << "trial " << trial;
                if (c.mode == kSerialMode) {
                    EXPECT_GE(t->replyHandOvers, replyBytes) << "trial " << trial;
                } else {
                    EXPECT_EQ(t->replyHandOvers, 0) << "trial " << trial;
                }
            }
        }
        return 0;
    });
}

TEST(BenchRig, PollTicksAreCountedInBothModes) {
    BenchRig rig;
    rig.Run([&] {
        for (const ModeCase& c : kModes) {
            SCOPED_TRACE(c.name);
            if (c.mode != rig.window->ConnectModeIndex()) {
                rig.ChooseConnectMode(c.mode);
            }
            EXPECT_TRUE(PollsIn(rig, c.mode));
            const PollTickCount ticks(BenchApplication::Instance());
            EXPECT_TRUE(RunUntil([&] { return ticks.Ticks() >= 3; }, kWaitMs))
                << ticks.Ticks() << " ticks";
        }
        return 0;
    });
}

}  // namespace
}  // namespace bench
