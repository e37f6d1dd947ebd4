#pragma once

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "HidTestbed.h"
#include "sim/ReaderModel.h"

inline constexpr size_t kFakeFeatureReportLength = 65;  // the id byte and 64 bytes

// The reader behind a fake node: each command frame sent in feature reports
// gets its reply as the next feature report to get, whoever gets it.
inline void AttachReader(FakeHidNode& node, ReaderModel& model) {
    node.Locked([&model](FakeHidNode::State& state) {
        state.onFeatureSent = [&model, assembler = FrameAssembler()](FakeHidNode::State& s,
                                                                     const Bytes& sent) mutable {
            for (const std::vector<uint8_t>& frame : assembler.Add(std::span(sent).subspan(1))) {
                std::vector<uint8_t> reply = model.HandleFrame(frame);
                s.featureReport.assign(kFakeFeatureReportLength, 0);
                std::copy_n(reply.begin(), std::min(reply.size(), kFakeFeatureReportLength - 1),
                            s.featureReport.begin() + 1);
                if (reply.empty()) {
                    s.featureReport.clear();  // a silent reader stalls
                }
            }
        };
        return 0;
    });
}

// The letters of the command frames a node was sent.
inline std::string Letters(FakeHidNode& node) {
    return node.Locked([](FakeHidNode::State& state) {
        std::string letters;
        for (const Bytes& report : state.featuresSent) {
            if (report.size() > 2 && report[1] == 0x1B) {
                letters += static_cast<char>(report[2]);
            }
        }
        return letters;
    });
}
