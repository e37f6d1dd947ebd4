#include <QCoreApplication>

#include "cli/CliProgram.h"

int main(int argc, char** argv) {
    // The channels' timers and the serial port's mailbox need an event loop;
    // nothing here needs a display.
    QCoreApplication app(argc, argv);
    return RunCli(argc, argv);
}
