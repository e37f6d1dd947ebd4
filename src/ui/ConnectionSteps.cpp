#include "ui/ConnectionSteps.h"

#include <QMessageBox>
#include <array>

#include "form/ControlIds.h"
#include "ui/QtForm.h"

namespace {

using State = ReaderConnection::State;
enum class Change { Leave, Enable, Disable };

struct StateControls {
    State state;
    Change commandList;
    Change testControls;
};

constexpr std::array<StateControls, 6> kStateControls = {{
    {State::Opening, Change::Disable, Change::Leave},
    {State::NotFound, Change::Leave, Change::Enable},
    {State::Connected, Change::Enable, Change::Enable},
    {State::Removed, Change::Disable, Change::Disable},
    {State::SerialOpened, Change::Enable, Change::Enable},
    {State::SerialNotOpened, Change::Leave, Change::Enable},
}};

}  // namespace

void ConnectionSteps::StateChanged(State state) {
    for (const StateControls& entry : kStateControls) {
        if (entry.state != state) {
            continue;
        }
        if (entry.commandList != Change::Leave) {
            form_.Enable(ctl::CommandTypeList, entry.commandList == Change::Enable);
        }
        if (entry.testControls == Change::Enable) {
            form_.EnableTestControls();
        } else if (entry.testControls == Change::Disable) {
            form_.DisableTestControls();
        }
    }
}

void ConnectionSteps::WatchUnavailable() {
    QMessageBox::information(&window_, QStringLiteral("Tallisk"),
                             QStringLiteral("Can Not Register Current USB_HID!"));
}
