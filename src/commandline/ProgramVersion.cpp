#include "ProgramVersion.h"

const char* ProgramVersion() {
    return TALLISK_VERSION;
}
