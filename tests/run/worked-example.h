#pragma once
// The worked example of the report as the whole-program tests use it: its
// case file as a user would type it, and the report it gives, kept as a file
// of its bytes.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/scratch-folder.h"

namespace trovel::test {

inline constexpr const char* kIndexFile = "Trovel_1p1_dados.txt";
inline constexpr const char* kExampleReport = "Voo01_saida.txt";

inline std::string goldenReport() {
  return readBytes(TROVEL_TEST_DATA "/report/data/Voo01_saida.txt");
}

// The case of that example (title in code page 1252), with `tI` as given.
inline std::string workedExampleCase(std::string_view tI = "10") {
  return "Voo01_saida.txt      caso\r\n"
         "9.81                 g\r\n"
         "4                    tH\r\n" +
         std::string(tI) +
         "                   tI\r\n"
         "100                  LO\r\n"
         "30                   alfa\r\n"
         "50                   LI\r\n"
         "10                   gama\r\n"
         "250                  lambda\r\n"
         "'Lan\xE7"
         "amento de teste 1, motor B6-4'   titulo\r\n";
}

inline std::vector<std::string> linesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  EXPECT_EQ(start, bytes.size()) << "every line ends with CR LF";
  return lines;
}

}  // namespace trovel::test
