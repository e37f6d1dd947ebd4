#include "protocol/ReadComparison.h"

ReadComparison::Verdict ReadComparison::Add(const std::string& text, bool comparison) {
    ++total_;
    if (comparison && !reference_.empty()) {
        const bool same = reference_ == text;
        if (same) {
            ++successes_;
        }
        return same ? Verdict::Same : Verdict::Different;
    }
    if (comparison) {
        // The first read becomes the reference and is not counted.
        total_ = 0;
    }
    reference_ = text;
    return Verdict::Reference;
}

void ReadComparison::Restart() {
    total_ = 0;
    successes_ = 0;
}

void ReadComparison::Forget() {
    Restart();
    reference_.clear();
}
