#include "platform/hid/HidLibrary.h"

#include <hidapi.h>

std::shared_ptr<HidLibrary> HidLibrary::Acquire() {
    static std::weak_ptr<HidLibrary> current;
    if (auto shared = current.lock()) {
        return shared;
    }
    if (hid_init() != 0) {
        return nullptr;
    }
    std::shared_ptr<HidLibrary> started(new HidLibrary());
    current = started;
    return started;
}

HidLibrary::~HidLibrary() {
    hid_exit();
}
