// Whether the machine runs on battery, as the Linux kernel describes its power supplies.
#pragma once

#include <string>

namespace varenko {

// One power supply as the kernel describes it in /sys/class/power_supply/NAME.
struct PowerSupply {
  std::string type;    // "Mains", "Battery", "USB", "UPS", ...
  bool online;         // the "online" file reads 1
  std::string status;  // the "status" file: "Discharging", "Charging", "Full", ...
};

// On battery when a battery discharges and no mains or USB supply is online. No battery at all,
// or no information, is mains power.
bool OnBatteryPower(const PowerSupply* supplies, int count);

// Reads the supplies of a folder laid out as /sys/class/power_supply (at most 32, each file read
// to at most 64 bytes) and tells whether the machine runs on battery. A missing or unreadable
// folder is mains power.
bool ReadOnBatteryPower(const std::string& folder);

}  // namespace varenko
