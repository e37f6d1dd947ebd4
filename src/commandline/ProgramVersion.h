#pragma once

// The project's version, "1.0.0.1", for --version and the About data.
const char* ProgramVersion();
