// The read test's comparison and counters, shared by the window and
// tallisk-cli watch.
#include "protocol/ReadComparison.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Verdict = ReadComparison::Verdict;

struct Step {
    std::string text;
    bool comparison;
    Verdict verdict;
    int successes;
    int total;
    std::string reference;
};

void Apply(ReadComparison& c, const std::vector<Step>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        EXPECT_EQ(c.Add(s.text, s.comparison), s.verdict) << "step " << i;
        EXPECT_EQ(c.Successes(), s.successes) << "step " << i;
        EXPECT_EQ(c.Total(), s.total) << "step " << i;
        EXPECT_EQ(c.Reference(), s.reference) << "step " << i;
    }
}

TEST(ReadComparison, TheFirstComparedReadIsTheReferenceAndIsNotCounted) {
    ReadComparison c;
    Apply(c, {
                 {"T1T 22O", true, Verdict::Reference, 0, 0, "T1T 22O"},
                 {"T1T 22O", true, Verdict::Same, 1, 1, "T1T 22O"},
                 {"T1T 23O", true, Verdict::Different, 1, 2, "T1T 22O"},
                 // Exactly equal: a trailing blank differs.
                 {"T1T 22O ", true, Verdict::Different, 1, 3, "T1T 22O"},
                 {"T1T 22O", true, Verdict::Same, 2, 4, "T1T 22O"},
             });
}

TEST(ReadComparison, WithoutComparisonEachReadIsTheReferenceAndCounted) {
    ReadComparison c;
    Apply(c, {
                 {"a", false, Verdict::Reference, 0, 1, "a"},
                 {"b", false, Verdict::Reference, 0, 2, "b"},
                 // Comparison turned on: the last read shown is the reference.
                 {"b", true, Verdict::Same, 1, 3, "b"},
             });
}

TEST(ReadComparison, RestartKeepsTheReferenceAndForgetDropsIt) {
    ReadComparison c;
    Apply(c, {{"a", true, Verdict::Reference, 0, 0, "a"}, {"a", true, Verdict::Same, 1, 1, "a"}});
    c.Restart();
    EXPECT_EQ(c.Total(), 0);
    EXPECT_EQ(c.Successes(), 0);
    Apply(c, {{"a", true, Verdict::Same, 1, 1, "a"}});
    c.Forget();
    EXPECT_EQ(c.Reference(), "");
    Apply(c,
          {{"b", true, Verdict::Reference, 0, 0, "b"}, {"a", true, Verdict::Different, 0, 1, "b"}});
}

}  // namespace
