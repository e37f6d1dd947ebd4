#include "app/ProgramObjects.h"

#include "ui/MainWindow.h"

ProgramObjects::ProgramObjects(std::unique_ptr<HidPlatform> platform,
                               std::unique_ptr<DeviceWatch> watch,
                               std::unique_ptr<SerialDevice> serialDevice)
    : serialPort(std::move(serialDevice)),
      hidPlatform(std::move(platform)),
      hid(hidPlatform.get(), waitTimer, waitPump),
      deviceWatch(std::move(watch)) {}

ProgramObjects::~ProgramObjects() = default;

std::unique_ptr<MainWindow> ProgramObjects::MakeWindow() {
    return std::make_unique<MainWindow>(exchange, serialPort, hid, *deviceWatch);
}
