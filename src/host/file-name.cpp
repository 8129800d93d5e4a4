#include "host/file-name.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace trovel {
namespace {

constexpr std::size_t kMaxName = 259;

struct DeviceEntry {
  std::string_view name;
  std::string_view system;
};

constexpr std::array<DeviceEntry, 15> kDevices = {{
    {"CON", "CON"},
    {"ERR", "ERR"},
    {"PRN", "PRN"},
    {"LPT1", "LPT1"},
    {"LPT2", "LPT2"},
    {"LPT3", "LPT3"},
    {"LPT4", "LPT4"},
    {"COM2", "COM2"},
    {"COM3", "COM3"},
    {"COM4", "COM4"},
    {"NUL", "NUL"},
    {"AUX", "COM1"},
    {"COM1", "COM1"},
    {"LINE", "COM1"},
    {"USER", "CON"},
}};

char upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

std::string fileNameFrom(std::string_view text) {
  text = text.substr(0, kMaxName);
  return withoutBlanks(text.substr(0, text.find('\0')));
}

std::string withoutBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return upper(x) == upper(y); });
}

std::optional<DeviceName> deviceNameOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  const std::string_view base = name.substr(0, dot);
  const bool hasExtension = dot != std::string_view::npos && dot + 1 < name.size();
  if (hasExtension && !name.empty() &&
      std::string_view("ELU").find(upper(name[0])) != std::string_view::npos) {
    return std::nullopt;
  }
  if (base.size() < 3 || base.size() > 4) return std::nullopt;
  for (const DeviceEntry& device : kDevices) {
    if (equalsIgnoringCase(base, device.name)) {
      return DeviceName{std::string(device.system), std::string(base)};
    }
  }
  return std::nullopt;
}

}  // namespace trovel
