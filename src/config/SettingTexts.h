#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "protocol/SettingTable.h"

// How a setting's value or a code reads in a file and in the window.

// As a configuration file holds it, in JSON: a radio's value name in quotes,
// true or false for a check box, null for a value that names no choice
// (-1, a radio group with no button checked, or anything out of range).
std::string FileValueOf(const SettingRow& setting, int value);
// "0x25" in quotes, or null for no code (0, or a byte the lists do not hold).
std::string FileCodeOf(int byte);

// As the window shows it: the checked radio's label, "checked" or "clear",
// "(none)" for no choice, "(no such choice: 7)" for a value out of range.
std::string ShownValueOf(const SettingRow& setting, int value);
// The list entry: hex and character or name, as "0x25 %" or "0x01 SOH"
// ("0x7f DEL", where the list shows "?"), or "(none)".
std::string ShownCodeOf(int byte);
