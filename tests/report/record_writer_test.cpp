#include "report/record-writer.h"

#include <gtest/gtest.h>

#include <string>

#include "report/stripped-text.h"
#include "support/test-host.h"

namespace trovel {
namespace {

using namespace std::string_literals;
using test::Call;
using test::exitStatusOf;
using test::readBytes;
using test::reportOf;
using test::writeBytes;

constexpr int kUnit = 10;

class RecordWriterTest : public ::testing::Test, protected test::TestHost {
 protected:
  void open(const char* name = "r.txt") { units.openUnit(kUnit, name); }

  // One write of text values.
  void writeTexts(FormatText format, std::initializer_list<std::string_view> texts = {}) {
    writer.beginWrite(kUnit, format);
    for (const std::string_view text : texts) writer.addText(text);
    writer.endWrite();
  }

  // The file's bytes after one write of text values on a new file.
  std::string fileAfter(FormatText format, std::initializer_list<std::string_view> texts = {}) {
    open();
    writeTexts(format, texts);
    units.closeUnit(kUnit);
    return readBytes("r.txt");
  }

  RecordWriter writer{units};
};

TEST_F(RecordWriterTest, RecordBreaksBlanksAndFixedTexts) {
  EXPECT_EQ(fileAfter("(/,1X,'Caso',/,/,3X,'N')"), "\r\n Caso\r\n\r\n   N\r\n");
}

TEST_F(RecordWriterTest, PendingBlanksAreWrittenOnlyInFrontOfCharacters) {
  struct Row {
    FormatText format;
    std::initializer_list<std::string_view> texts;
    std::string file;
  };
  const Row rows[] = {
      {"(1X,2X,'a',1X,'b')", {}, "   a b\r\n"},
      {"('a',3X,/,'b')", {}, "a\r\nb\r\n"},  // dropped at a record break
      {"('a',15X)", {}, "a\r\n"},            // dropped at the end of the write
      {"(2X,A,'|')", {""}, "  |\r\n"},       // an empty text writes no blanks
      {"(2X,A)", {""}, "\r\n"},
      {"('Caso   = ',A)", {""}, "Caso   = \r\n"},
      {"(2X,'',A,'|')", {"x"}, "  x|\r\n"},
  };
  for (const Row& row : rows) {
    test::TestHost host;
    RecordWriter rowWriter(host.units);
    host.units.openUnit(kUnit, "r.txt");
    rowWriter.beginWrite(kUnit, row.format);
    for (const std::string_view text : row.texts) rowWriter.addText(text);
    rowWriter.endWrite();
    host.units.closeUnit(kUnit);
    EXPECT_EQ(readBytes("r.txt"), row.file) << row.format.text();
  }
}

TEST_F(RecordWriterTest, TwoApostrophesInAFixedTextWriteOne) {
  EXPECT_EQ(fileAfter("('it''s',1X,'''''')"), "it's ''\r\n");
}

TEST_F(RecordWriterTest, TextValuesAreCopiedByteForByte) {
  const std::string bytes = "\0\x80\xE7\xFF\r\n\x1A end"s;
  std::string caller = bytes;
  open();
  writer.beginWrite(kUnit, "('[',A,']',A)");
  writer.addText(caller);
  caller.assign(caller.size(), '?');  // the writer keeps its own copy
  writer.addText("");
  writer.endWrite();
  units.closeUnit(kUnit);
  EXPECT_EQ(readBytes("r.txt"), "[" + bytes + "]\r\n");
}

TEST_F(RecordWriterTest, NumberFieldsTakeTheirValuesInOrder) {
  open();
  writer.beginWrite(kUnit, "(/,1P,E15.6,' = g',/,15X,1P,E15.6,' = y',/,A)");
  writer.addReal(9.81);
  writer.addReal(-21.6506350946110);
  writer.addText("fim");
  writer.endWrite();
  units.closeUnit(kUnit);
  EXPECT_EQ(readBytes("r.txt"),
            "\r\n   9.810000E+00 = g\r\n                 -2.165064E+01 = y\r\nfim\r\n");
}

TEST_F(RecordWriterTest, EveryWriteBeginsANewRecord) {
  open();
  writeTexts("('a')");
  writeTexts("(A)", {"b"});
  writeTexts("(/,'c')");
  units.closeUnit(kUnit);
  EXPECT_EQ(readBytes("r.txt"), "a\r\nb\r\n\r\nc\r\n");
}

TEST_F(RecordWriterTest, TheBufferGoesToTheFileWhenFullAndAtClose) {
  open();
  writeTexts("('abc')");
  EXPECT_EQ(readBytes("r.txt"), "") << "a finished write stays in the buffer";
  EXPECT_EQ(os.calls(Call::WriteFile), 0);

  // 5 bytes so far; this write brings the buffer to exactly 1024.
  const std::string fill(1017, 'x');
  writeTexts("(A)", {fill});
  EXPECT_EQ(os.calls(Call::WriteFile), 1);
  EXPECT_EQ(readBytes("r.txt"), "abc\r\n" + fill + "\r\n");

  writeTexts("('z')");
  EXPECT_EQ(readBytes("r.txt").size(), 1024u);
  units.closeUnit(kUnit);
  EXPECT_EQ(os.calls(Call::WriteFile), 2);
  EXPECT_EQ(readBytes("r.txt"), "abc\r\n" + fill + "\r\nz\r\n");
}

TEST_F(RecordWriterTest, ARecordLongerThanTheBufferIsOneLine) {
  std::string longText(2500, 'L');
  longText[1023] = '\xE9';
  open();
  writeTexts("(1X,A)", {longText});
  EXPECT_EQ(readBytes("r.txt"), " " + longText.substr(0, 2047));  // two full buffers so far
  units.closeUnit(kUnit);
  EXPECT_EQ(readBytes("r.txt"), " " + longText + "\r\n");
}

TEST_F(RecordWriterTest, TheFirstWriteEmptiesAnExistingLongerFile) {
  writeBytes("r.txt", std::string(3000, 'o') + "\r\nold tail\r\n");
  open();
  EXPECT_EQ(readBytes("r.txt").size(), 3012u) << "opening alone changes nothing";
  writeTexts("(/,'novo')");
  EXPECT_EQ(readBytes("r.txt"), "") << "cut at the first write";
  writeTexts("('mais')");
  units.closeUnit(kUnit);
  EXPECT_EQ(readBytes("r.txt"), "\r\nnovo\r\nmais\r\n");
}

TEST_F(RecordWriterTest, ShortTransfersLoseNothing) {
  os.maxWriteBytes = 3;
  std::string text;
  for (int i = 0; i < 700; ++i) text += static_cast<char>('a' + i % 26);
  open();
  for (int i = 0; i < 4; ++i) writeTexts("(/,A)", {text});
  units.closeUnit(kUnit);
  std::string expected;
  for (int i = 0; i < 4; ++i) expected += "\r\n" + text + "\r\n";
  EXPECT_EQ(readBytes("r.txt"), expected);
  // Two full buffers of 1024 bytes in 342 requests each, then the last 768 in 256.
  EXPECT_EQ(expected.size(), 2 * 1024u + 768u);
  EXPECT_EQ(os.calls(Call::WriteFile), 2 * 342 + 256);
}

// A transfer that fails, or moves nothing without an error, ends the run in
// the statement in progress: WRITE while the buffer fills, CLOSE when the unit
// is closed. What went to the file before stays.
TEST(RecordWriterFailure, TransferFailuresAreReportedInTheirStatement) {
  struct Row {
    OsError error;  // None: the transfer moves no byte
    FailureKind kind;
  };
  const Row rows[] = {
      {OsError::DiskFull, FailureKind::DiskFull},
      {OsError::AccessDenied, FailureKind::WriteRefused},
      {OsError::None, FailureKind::DiskFull},
  };
  const std::string first(1022, 'a');
  for (const Row& row : rows) {
    for (const bool atClose : {false, true}) {
      test::TestHost host;
      RecordWriter writer(host.units);
      host.units.openUnit(kUnit, " r.txt ");
      writer.beginWrite(kUnit, "(A)");
      writer.addText(first);
      writer.endWrite();  // the first transfer, of 1024 bytes, succeeds
      if (row.error == OsError::None) {
        host.os.maxWriteBytes = 0;
      } else {
        host.os.failAt(Call::WriteFile, 2, row.error);
      }
      const int status = exitStatusOf([&] {
        writer.beginWrite(kUnit, "(A)");
        writer.addText(std::string(atClose ? 10 : 2000, 'b'));
        writer.endWrite();
        host.units.closeUnit(kUnit);
      });
      EXPECT_EQ(status, 1);
      EXPECT_EQ(host.os.standardError,
                reportOf(row.kind, atClose ? Statement::Close : Statement::Write, "r.txt"));
      EXPECT_FALSE(host.units.isConnected(kUnit));
      EXPECT_EQ(readBytes("r.txt"), first + "\r\n");
    }
  }
}

TEST(RecordWriterFailure, AFailedCutAtTheFirstWriteIsReportedInWrite) {
  test::TestHost host;
  writeBytes("r.txt", "old");
  RecordWriter writer(host.units);
  host.units.openUnit(kUnit, "r.txt");
  host.os.failAt(Call::CutFile, 1, OsError::AccessDenied);
  EXPECT_EQ(exitStatusOf([&] {
              writer.beginWrite(kUnit, "('new')");
              writer.endWrite();
            }),
            1);
  EXPECT_EQ(host.os.standardError, reportOf(FailureKind::WriteRefused, Statement::Write, "r.txt"));
  EXPECT_EQ(readBytes("r.txt"), "old");
}

TEST(StrippedText, RemovesLeadingAndTrailingBlanksOnly) {
  FixedText<12> text;
  const std::string bytes = "  a\0 b\t\xE7    "s;
  std::copy(bytes.begin(), bytes.end(), text.bytes.begin());
  const StrippedText<12> stripped = strippedText(text);
  EXPECT_EQ(stripped.text(), "a\0 b\t\xE7"s);
  EXPECT_EQ(stripped.copy.view(), "a\0 b\t\xE7      "s) << "left-adjusted, same length";

  EXPECT_EQ(strippedText(FixedText<5>{}).text(), std::string(5, '\0')) << "zero bytes are text";
  FixedText<6> trailingZero;
  trailingZero.bytes = {' ', 'x', ' ', ' ', '\0', ' '};
  EXPECT_EQ(strippedText(trailingZero).text(), "x  \0"s);
  FixedText<4> blank;
  blank.bytes.fill(' ');
  EXPECT_EQ(strippedText(blank).length, 0u);
}

}  // namespace
}  // namespace trovel
