#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "protocol/ConfigBlock.h"

// How the simulated reader misbehaves when asked to.
struct ReaderFaults {
    bool silent = false;   // answers nothing
    bool refuse = false;   // answers every command with ESC '1'
    bool garbage = false;  // answers with bytes that mean nothing
};

// The reader as its commands see it: a 24-byte configuration that each
// command reads or changes, and the reply each command gets.
class ReaderModel {
  public:
    ReaderModel();

    static ConfigBlock DefaultConfig();

    const ConfigBlock& Config() const { return config_; }
    void SetConfig(const ConfigBlock& config) { config_ = config; }

    ReaderFaults faults;

    // The reply to one whole command frame (ESC, letter, payload); empty
    // when the reader stays silent.
    std::vector<uint8_t> HandleFrame(std::span<const uint8_t> frame);

    // How many bytes the frame that begins with this letter has.
    static int FrameLength(uint8_t letter);

  private:
    bool Apply(std::span<const uint8_t> frame);
    ConfigBlock config_;
};

// Cuts a byte stream into command frames.
class FrameAssembler {
  public:
    // Adds bytes; returns every frame they complete.
    std::vector<std::vector<uint8_t>> Add(std::span<const uint8_t> bytes);

  private:
    std::vector<uint8_t> pending_;
};
