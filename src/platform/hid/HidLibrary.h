#pragma once

#include <memory>

// Keeps hidapi started while anything that uses it is alive: the platform
// object and every device it opened hold a share, and the library is shut
// down when the last share goes.
class HidLibrary {
  public:
    // nullptr when hidapi cannot be started.
    static std::shared_ptr<HidLibrary> Acquire();

    ~HidLibrary();
    HidLibrary(const HidLibrary&) = delete;
    HidLibrary& operator=(const HidLibrary&) = delete;

  private:
    HidLibrary() = default;
};
