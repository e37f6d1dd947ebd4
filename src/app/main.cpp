#include <QApplication>
#include <optional>

#include "app/UtilityApp.h"
#include "app/UtilityOptions.h"
#include "channels/common/Trace.h"
#include "commandline/CommandLine.h"
#include "commandline/DisplayCheck.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so that they need no display.
    const CommandLine line = ParseCommandLine(kUtilityProgram.options, argc, argv);
    if (const std::optional<int> status = AnswerCommandLine(kUtilityProgram, line)) {
        return *status;
    }
    HeldDisplayConnection display;
    if (const std::optional<int> status = RefuseWithoutDisplay(
            "tallisk", "use tallisk-cli for work without a display", display)) {
        return *status;
    }
    const UtilityOptions options = UtilityOptionsFrom(line);
    ApplySerialPort(options);

    QApplication app(argc, argv);
    display.Release();  // the application holds its own connection now
    UtilityApp::PrepareApplication(app);
    UtilityApp utility;
    // The channels write the trace on standard error from here on.
    SetTraceEnabled(options.trace);
    return utility.Run();
}
