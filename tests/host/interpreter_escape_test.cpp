#include "host/interpreter-escape.h"

#include <gtest/gtest.h>

#include <string>

namespace trovel {
namespace {

std::string escaped(std::string_view text) {
  std::string out(escapedLength(text), '?');
  EXPECT_EQ(copyEscaped(text, out.data()), out.data() + out.size());
  return out;
}

TEST(InterpreterEscape, LeavesTextWithoutSpecialCharactersByteForByte) {
  const std::string texts[] = {
      "",
      "notepad caso.txt",
      "notepad   two  words.txt\t",
      "Notepad Trovel_1p1_dados.txt",
      "notepad Rel\xE1t\xF3rio ~#$*_+-=,;{}[]`'./\\:",
      std::string("notepad \0\0\0", 11),
  };
  for (const std::string& text : texts) EXPECT_EQ(escaped(text), text);
}

TEST(InterpreterEscape, PutsACaretBeforeEachSpecialCharacter) {
  for (const char c : std::string_view("&|<>^()!\"%")) {
    SCOPED_TRACE(c);
    EXPECT_EQ(escaped(std::string("a") + c + "b"), std::string("a^") + c + "b");
    EXPECT_EQ(escaped(std::string(2, c)), (std::string{'^', c, '^', c}));
  }
  EXPECT_EQ(escaped("notepad r.txt&mkdir pwned"), "notepad r.txt^&mkdir pwned");
  EXPECT_EQ(escaped("\"a b\" %PATH% ^"), "^\"a b^\" ^%PATH^% ^^");
}

}  // namespace
}  // namespace trovel
