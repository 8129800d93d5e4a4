#include "report/format-text.h"

#include <gtest/gtest.h>

#include <string>

namespace trovel {
namespace {

// The items of a format text, one letter each, with the count of a blanks
// item and the text of a fixed text.
std::string itemsOf(std::string_view format) {
  std::string items;
  const bool sound = forEachEditItem(format, [&](const EditItem& item) {
    switch (item.kind) {
      case EditKind::RecordBreak:
        items += "/";
        break;
      case EditKind::Blanks:
        items += std::to_string(item.columns) + "X";
        break;
      case EditKind::FixedText:
        items += "[" + std::string(item.text) + "]";
        break;
      case EditKind::TextValue:
        items += "A";
        break;
      case EditKind::ScaleFactor:
        items += "P";
        break;
      case EditKind::NumberField:
        items += "E";
        break;
    }
  });
  return sound ? items : items + "!";
}

TEST(FormatText, ReadsTheSixItemsInOrder) {
  EXPECT_EQ(itemsOf("(/,15X,'a, b',A,1P,E15.6,'it''s','','/',/)"), "/15X[a, b]APE[it''s][][/]/");
}

TEST(FormatText, AcceptsOnlySoundFormatTexts) {
  struct Row {
    const char* format;
    bool sound;
  };
  const Row rows[] = {
      {"(1P,E15.6)", true}, {"(/)", true},     {"('a'',''b')", true}, {"(E15.6)", false},
      {"(1P,E15.6", false}, {"('abc)", false}, {"(0X)", false},       {"(X)", false},
      {"(/,I5)", false},    {"/,'a')", false}, {"(/,,'a')", false},   {"(/ ,'a')", false},
      {"(/,'a'),", false},  {"()", false},     {"(2P,E15.6)", false}, {"(1P,E12.4)", false},
      {"(A,/)", true},
  };
  for (const Row& row : rows) EXPECT_EQ(isSoundFormat(row.format), row.sound) << row.format;
}

TEST(FormatText, TellsItsValueItems) {
  constexpr FormatText format = "(/,A,1X,1P,E15.6,'x',E15.6)";
  static_assert(format.takesValues("AEE"));
  EXPECT_FALSE(format.takesValues("AE"));
  EXPECT_FALSE(format.takesValues("AEEE"));
  EXPECT_FALSE(format.takesValues("EAE"));
  EXPECT_TRUE(FormatText("('no values')").takesValues(""));
}

}  // namespace
}  // namespace trovel
