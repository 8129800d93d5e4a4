#pragma once
// The rules that turn a fixed-length name text into a file name, and the
// recognition of the device names a file name can stand for.

#include <optional>
#include <string>
#include <string_view>

namespace trovel {

// At most the first 259 characters, ended before the first NUL, without
// leading and trailing blanks (the character 32 only; tabs stay).
std::string fileNameFrom(std::string_view text);
// Without leading and trailing blanks (the character 32 only).
std::string withoutBlanks(std::string_view text);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

struct DeviceName {
  std::string system;      // the device connected: "CON", "ERR", "NUL", "COM1", ...
  std::string storedName;  // the name as given, without its extension
};

// The device a file name stands for, if any: its part before the last dot
// (or all of it) is a device name of 3 or 4 characters in any letter case,
// except that a name with an extension whose first character is E, L or U is
// an ordinary file (err.txt, line.dat, user.x).
std::optional<DeviceName> deviceNameOf(std::string_view name);

}  // namespace trovel
