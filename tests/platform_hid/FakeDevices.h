#pragma once

#include "HidTestbed.h"
#include "ReportDescriptors.h"

// The fake USB HID devices the tests on the system's HID path plug in.

// A reader types its reads through a keyboard collection and takes commands
// through a vendor-defined one: two top-level collections on one node.
inline const FakeUsbHid kReader{
    .vendorId = 0x0471,
    .productId = 0xE001,
    .release = 0x0001,
    .manufacturer = "Tallisk",
    .product = "MICR Reader",
    .descriptor = report_items::Cat({report_items::kBootKeyboard, report_items::kVendorFeature64}),
};
inline const FakeUsbHid kReaderOtherVersion{
    .vendorId = 0x0471,
    .productId = 0xE001,
    .release = 0x0002,
    .manufacturer = "Tallisk",
    .product = "MICR Reader",
    .descriptor = report_items::kVendorAllKinds8,
};
inline const FakeUsbHid kMouse{
    .vendorId = 0x1D57,
    .productId = 0x0AD2,
    .release = 0x0110,
    .manufacturer = "Pointer Works",
    .product = "Optical Mouse",
    .descriptor = report_items::kBootMouse,
};
