#pragma once

#include <string>

// The read test's comparison and counters, apart from where they are shown:
// with comparison on, the first read becomes the reference and each later
// one is counted, a success when it is the reference exactly; with it off,
// each read becomes the reference.
class ReadComparison {
  public:
    enum class Verdict {
        Reference,  // the read is now the reference (comparison off, or the first read)
        Same,       // compared and equal to the reference
        Different,  // compared and not equal
    };

    Verdict Add(const std::string& text, bool comparison);
    // The counts start again; the reference stays.
    void Restart();
    // The counts start again and the reference is forgotten.
    void Forget();

    int Total() const { return total_; }
    int Successes() const { return successes_; }
    const std::string& Reference() const { return reference_; }

  private:
    int total_ = 0;
    int successes_ = 0;
    std::string reference_;  // as it arrived
};
