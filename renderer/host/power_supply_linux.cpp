// The power source read from the kernel's folder of power supplies (/sys/class/power_supply).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "renderer/host/power_supply.h"

namespace varenko {

bool OnBatteryPower(const PowerSupply* supplies, int count) {
  bool discharging = false;
  for (int i = 0; i < count; ++i) {
    const PowerSupply& s = supplies[i];
    if ((s.type == "Mains" || s.type == "USB") && s.online) return false;
    if (s.type == "Battery" && s.status == "Discharging") discharging = true;
  }
  return discharging;
}

namespace {

constexpr int MaxSupplies = 32;
constexpr std::size_t MaxValueLength = 64;

// The first line of a small kernel file, without its line end; empty when it cannot be read.
std::string ReadValue(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::string();
  char buffer[MaxValueLength] = {};
  in.read(buffer, sizeof buffer);
  std::string value(buffer, static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  const std::size_t line = value.find_first_of("\r\n");
  if (line != std::string::npos) value.resize(line);
  return value;
}

}  // namespace

bool ReadOnBatteryPower(const std::string& folder) {
  std::vector<PowerSupply> supplies;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (static_cast<int>(supplies.size()) == MaxSupplies) break;
    const std::filesystem::path dir = it->path();
    supplies.push_back(
        {ReadValue(dir / "type"), ReadValue(dir / "online") == "1", ReadValue(dir / "status")});
  }
  return OnBatteryPower(supplies.data(), static_cast<int>(supplies.size()));
}

}  // namespace varenko
