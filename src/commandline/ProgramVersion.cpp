#include "commandline/ProgramVersion.h"

const char* ProgramVersion() {
    return TALLISK_VERSION;
}
