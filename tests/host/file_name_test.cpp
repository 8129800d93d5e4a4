#include "host/file-name.h"

#include <gtest/gtest.h>

#include <string>

namespace trovel {
namespace {

using namespace std::string_literals;

TEST(FileName, NameRules) {
  struct Row {
    std::string text;
    std::string name;
  };
  const Row rows[] = {
      {"  caso1.txt" + std::string(39, ' '), "caso1.txt"},
      {std::string(50, '\0'), ""},
      {std::string(50, ' '), ""},
      {"abc\0def  "s, "abc"},
      {"\tdados.txt\t ", "\tdados.txt\t"},  // tabs are not blanks
      {"  a b.txt ", "a b.txt"},
      {std::string(258, 'n') + "xy", std::string(258, 'n') + "x"},  // 259 characters at most
      {std::string(259, ' ') + "late.txt", ""},  // beyond the 259th character nothing counts
  };
  for (const Row& row : rows) EXPECT_EQ(fileNameFrom(row.text), row.name) << row.text;
}

TEST(FileName, DeviceNames) {
  struct Row {
    const char* name;
    const char* system;  // nullptr: an ordinary file
    const char* stored;
  };
  const Row rows[] = {
      {"NUL", "NUL", "NUL"},      {"nul.txt", "NUL", "nul"}, {"nul.x", "NUL", "nul"},
      {"con", "CON", "con"},      {"con.txt", "CON", "con"}, {"Err", "ERR", "Err"},
      {"prn.log", "PRN", "prn"},  {"aux", "COM1", "aux"},    {"LINE", "COM1", "LINE"},
      {"com1.a", "COM1", "com1"}, {"lpt3", "LPT3", "lpt3"},  {"user", "CON", "user"},
      {"err.txt", nullptr, ""},   {"line.dat", nullptr, ""}, {"lpt1.txt", nullptr, ""},
      {"user.x", nullptr, ""},    {"conx", nullptr, ""},     {"co", nullptr, ""},
      {"caso1.txt", nullptr, ""}, {"com5", nullptr, ""},     {"dir/nul.txt", nullptr, ""},
      {"a.con", nullptr, ""},     {"nul.", "NUL", "nul"},    {"lpt2.", "LPT2", "lpt2"},
  };
  for (const Row& row : rows) {
    const auto device = deviceNameOf(row.name);
    if (row.system == nullptr) {
      EXPECT_FALSE(device) << row.name;
    } else {
      ASSERT_TRUE(device) << row.name;
      EXPECT_EQ(device->system, row.system) << row.name;
      EXPECT_EQ(device->storedName, row.stored) << row.name;
    }
  }
}

}  // namespace
}  // namespace trovel
