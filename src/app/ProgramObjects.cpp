#include "app/ProgramObjects.h"

#include "ui/MainWindow.h"

ProgramObjects::ProgramObjects(std::unique_ptr<HidPlatform> platform,
                               std::unique_ptr<DeviceWatch> watch,
                               std::unique_ptr<SerialDevice> serialDevice)
    : reader(std::move(platform), std::move(watch), std::move(serialDevice)) {}

ProgramObjects::~ProgramObjects() = default;

std::unique_ptr<MainWindow> ProgramObjects::MakeWindow() {
    return std::make_unique<MainWindow>(reader);
}
