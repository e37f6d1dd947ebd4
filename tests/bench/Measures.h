#pragma once

// Each measure runs in a process of its own, with a QApplication on the
// offscreen platform, and prints its rows; it returns the process's exit
// status.
namespace bench {

int MeasureSerialByteCost();
// With oneCore, every thread of the measure runs on one core, and only the
// flood into an awaited reply is measured.
int MeasureSerialFlood(bool oneCore);
int MeasureReadBackLatency();
int MeasureIdleCpu();

}  // namespace bench
