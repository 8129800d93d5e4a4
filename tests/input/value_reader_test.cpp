#include "input/value-reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

#include "support/test-host.h"

namespace trovel {
namespace {

using enum FailureKind;
using test::Call;
using test::exitStatusOf;
using test::readBytes;
using test::reportOf;
using test::writeBytes;

std::uint64_t bitsOf(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

std::string padded(std::string_view text, std::size_t length = 50) {
  std::string padded(text);
  padded.resize(length, ' ');
  return padded;
}

template <std::size_t N>
std::string textOf(const FixedText<N>& text) {
  return std::string(text.view());
}

class ValueReaderTest : public ::testing::Test, protected test::TestHost {
 protected:
  void connect(std::string_view bytes) {
    writeBytes("caso1.txt", bytes);
    units.openUnit(8, "caso1.txt");
  }

  template <std::size_t N = 50>
  std::string text() {
    FixedText<N> destination;
    readText(units, 8, destination);
    return textOf(destination);
  }

  double real() {
    double destination = 42.0;
    readReal(units, 8, destination);
    return destination;
  }

  // Runs a read that must end the run with `kind`, reported for READ of caso1.txt.
  void expectFailure(const std::function<void()>& read, FailureKind kind) {
    EXPECT_EQ(exitStatusOf(read), 1);
    EXPECT_EQ(os.standardError, reportOf(kind, Statement::Read, "caso1.txt"));
  }
};

// What one read of a line must give.
struct Outcome {
  enum { Number, Text, Null, Failure } what;
  double number = 0.0;
  std::string_view text;
  FailureKind failure = EndOfFile;
};
Outcome number(double value) {
  return {Outcome::Number, value, {}};
}
Outcome text(std::string_view value) {
  return {Outcome::Text, 0.0, value};
}
Outcome nullValue() {
  return {Outcome::Null, 0.0, {}};
}
Outcome failure(FailureKind kind) {
  return {Outcome::Failure, 0.0, {}, kind};
}

enum class Into { Real, Text };

struct LineRow {
  std::string_view line;
  Into into;
  Outcome outcome;
};

const LineRow kLineRows[] = {
    {"9.81   gravidade (m/s2)", Into::Real, number(9.81)},
    {"9,81", Into::Real, number(9.0)},
    {"9.81m", Into::Real, failure(InvalidNumber)},
    {"9.81m/s2", Into::Real, failure(InvalidNumber)},
    {"1.5E2", Into::Real, number(150.0)},
    {"1.5e2", Into::Real, number(150.0)},
    {"1.5D2", Into::Real, number(150.0)},
    {"1.5d+2", Into::Real, number(150.0)},
    {"1.5+2", Into::Real, number(150.0)},
    {"15E1", Into::Real, number(150.0)},
    {"+7", Into::Real, number(7.0)},
    {".5", Into::Real, number(0.5)},
    {"5.", Into::Real, number(5.0)},
    {"1.5E", Into::Real, failure(InvalidNumber)},
    {"1E400", Into::Real, failure(NumberOverflow)},
    {"1E-400", Into::Real, number(0.0)},
    {"-1E-400", Into::Real, number(-0.0)},
    {"'9.81'", Into::Real, failure(ValueFormMismatch)},
    {"(9.81)", Into::Real, failure(ValueFormMismatch)},
    {"2*9.81", Into::Real, number(9.81)},
    {"0*9.81", Into::Real, failure(ZeroRepeatCount)},
    {",", Into::Real, nullValue()},
    {",", Into::Text, nullValue()},
    {"/", Into::Real, nullValue()},
    {"/", Into::Text, nullValue()},
    {"relatorio1.txt", Into::Text, text("relatorio1.txt")},
    {"Voo de teste", Into::Text, text("Voo")},
    {"'Voo de teste'", Into::Text, text("Voo de teste")},
    {"'Don''t'", Into::Text, text("Don't")},
    {"''", Into::Text, nullValue()},
    {"saida/caso1.txt", Into::Text, text("saida")},
    {"C:\\dados\\caso1.txt", Into::Text, text("C:\\dados\\caso1.txt")},
    {"caso*1", Into::Text, failure(InvalidInteger)},
    {"(Voo de teste)", Into::Text, text("Voodeteste")},
    // Blanks, tabs and the characters that end or start a value.
    {" \t 9.81\t comment", Into::Real, number(9.81)},
    {"\"Voo de teste\" titulo", Into::Text, text("Voo de teste")},
    {"\"Don\"\"t\"", Into::Text, text("Don\"t")},
    {"'It''s' a 'test'", Into::Text, text("It's")},
    {"'a, b / c*d'", Into::Text, text("a, b / c*d")},
    {"Don't", Into::Text, text("Don't")},
    {"a(b)c\"d=1&$!", Into::Text, text("a(b)c\"d=1&$!")},
    {"(a,b/c)", Into::Text, text("a,b")},
    {"( 9.81 )", Into::Real, failure(ValueFormMismatch)},
    {"()", Into::Real, nullValue()},
    {"''", Into::Real, nullValue()},
    {"1.5-3", Into::Real, number(0.0015)},
    {"1E400m", Into::Real, failure(NumberOverflow)},
    {"inf", Into::Real, failure(InvalidNumber)},
    // Bytes are taken as they are: byte 26, a byte-order mark, code page 1252 letters.
    {"\x1A", Into::Text, text("\x1A")},
    {"9.81\x1A", Into::Real, failure(InvalidNumber)},
    {"\xEF\xBB\xBF"
     "caso1",
     Into::Text,
     text("\xEF\xBB\xBF"
          "caso1")},
    {"\xEF\xBB\xBF"
     "9.81",
     Into::Real, failure(InvalidNumber)},
    {"S\xE3o Jo\xE3o", Into::Text, text("S\xE3o")},
    {"'Voo \xE0 tarde'", Into::Text, text("Voo \xE0 tarde")},
    // Repeat counts.
    {"-2*9.81", Into::Real, number(9.81)},
    {"#A*9.81", Into::Real, number(9.81)},
    {"2#10*x", Into::Text, text("x")},
    {"2*'a b'", Into::Text, text("a b")},
    {"2*(a b)", Into::Text, text("ab")},
    {"2* 9.81", Into::Real, nullValue()},
    {"2*,9.81", Into::Real, nullValue()},
    {"2*/", Into::Text, nullValue()},
    {"3*", Into::Real, nullValue()},
    {"*9.81", Into::Real, failure(ZeroRepeatCount)},
    {"2*3*9.81", Into::Real, failure(RepeatCountTwice)},
    {"2.5*9.81", Into::Real, failure(InvalidInteger)},
    {"99999999999*9.81", Into::Real, failure(IntegerOverflow)},
    {"16#1#1*9.81", Into::Real, failure(RadixMarkTwice)},
    {"37#1*9.81", Into::Real, failure(InvalidRadix)},
};

// Each line is followed by the line "next": a read that does not fail must
// consume its own line and no more.
TEST(ValueReaderLines, EachLineReadsAsItsRowSays) {
  for (const LineRow& row : kLineRows) {
    SCOPED_TRACE(std::string(row.line));
    test::TestHost host;
    writeBytes("caso1.txt", std::string(row.line) + "\nnext\n");
    host.units.openUnit(8, "caso1.txt");
    double real = 42.0;
    FixedText<50> text;
    const auto read = [&] {
      if (row.into == Into::Real) {
        readReal(host.units, 8, real);
      } else {
        readText(host.units, 8, text);
      }
    };
    const Outcome& outcome = row.outcome;
    if (outcome.what == Outcome::Failure) {
      EXPECT_EQ(exitStatusOf(read), 1);
      EXPECT_EQ(host.os.standardError, reportOf(outcome.failure, Statement::Read, "caso1.txt"));
      continue;
    }
    read();
    switch (outcome.what) {
      case Outcome::Number:
        EXPECT_EQ(bitsOf(real), bitsOf(outcome.number)) << real;
        break;
      case Outcome::Text:
        EXPECT_EQ(textOf(text), padded(outcome.text));
        break;
      default:
        EXPECT_EQ(bitsOf(real), bitsOf(42.0));
        EXPECT_EQ(textOf(text), std::string(50, '\0'));
    }
    FixedText<50> next;
    readText(host.units, 8, next);
    EXPECT_EQ(textOf(next), padded("next"));
    EXPECT_EQ(host.os.standardError, "");
  }
}

TEST_F(ValueReaderTest, TheReportNamesReadAndTheFileAsItWasConnected) {
  writeBytes("caso1.txt", "9.81m\n");
  units.openUnit(8, padded("  caso1.txt"));
  EXPECT_EQ(exitStatusOf([&] { real(); }), 1);
  EXPECT_EQ(os.standardError, std::string("\r\nrun-time error F6103: READ(caso1.txt)\r\n- ") +
                                  std::string(describe(InvalidNumber).message) + "\r\n");
}

TEST_F(ValueReaderTest, LinesEndedByCarriageReturnAndLineFeedOrByLineFeedReadAlike) {
  for (const std::string_view end : {"\n", "\r\n"}) {
    SCOPED_TRACE(end.size());
    test::TestHost host;
    std::string file;
    for (const char* line : {"relatorio1.txt caso", "", "9.81, g", "  ", "'Voo 3, teste' titulo"}) {
      file += std::string(line) + std::string(end);
    }
    writeBytes("caso1.txt", file);
    host.units.openUnit(8, "caso1.txt");
    FixedText<50> caso;
    double g = 0.0;
    FixedText<90> titulo;
    readText(host.units, 8, caso);
    readReal(host.units, 8, g);
    readText(host.units, 8, titulo);
    EXPECT_EQ(textOf(caso), padded("relatorio1.txt"));
    EXPECT_EQ(g, 9.81);
    EXPECT_EQ(textOf(titulo), padded("Voo 3, teste", 90));
    EXPECT_EQ(exitStatusOf([&] { readReal(host.units, 8, g); }), 1);
    EXPECT_EQ(host.os.standardError, reportOf(EndOfFile, Statement::Read, "caso1.txt"));
  }
}

TEST_F(ValueReaderTest, LinesEndedByCarriageReturnAloneAreOneRecord) {
  connect("9.81\r5.0\r11.5\r");
  EXPECT_EQ(real(), 9.81);
  expectFailure([&] { real(); }, EndOfFile);
}

TEST_F(ValueReaderTest, ALoneCarriageReturnEndsTheRecordAndTheRestOfItsLineIsSkipped) {
  connect("abc\rdef\nghi\n9.81\rjunk\r\n5.0\n");
  EXPECT_EQ(text(), padded("abc"));
  EXPECT_EQ(text(), padded("ghi"));
  EXPECT_EQ(real(), 9.81);
  EXPECT_EQ(real(), 5.0);
}

TEST_F(ValueReaderTest, ALastLineWithoutLineFeedReadsNormallyAtEveryFileLength) {
  for (const std::size_t length : {6u, 1023u, 1024u, 1025u, 2048u}) {
    for (const bool realLast : {false, true}) {
      SCOPED_TRACE(std::to_string(length) + (realLast ? " real" : " text"));
      test::TestHost host;
      const std::string last = realLast ? "9.81" : "last";
      const std::string first = length > 10 ? padded("first", length - last.size() - 1) : "f";
      const std::string file = first + "\n" + last;
      ASSERT_EQ(file.size(), length);
      writeBytes("caso1.txt", file);
      host.units.openUnit(8, "caso1.txt");
      FixedText<50> value;
      readText(host.units, 8, value);
      EXPECT_EQ(textOf(value), padded(length > 10 ? "first" : "f"));
      if (realLast) {
        double number = 0.0;
        readReal(host.units, 8, number);
        EXPECT_EQ(number, 9.81);
      } else {
        readText(host.units, 8, value);
        EXPECT_EQ(textOf(value), padded("last"));
      }
      EXPECT_EQ(exitStatusOf([&] { readText(host.units, 8, value); }), 1);
      EXPECT_EQ(host.os.standardError, reportOf(EndOfFile, Statement::Read, "caso1.txt"));
    }
  }
}

// The values that follow a first line of `start` bytes cross the end of the
// first 1024-byte chunk at every one of their bytes in turn, also between a
// carriage return and its line feed and between a closing quote and the line feed.
TEST_F(ValueReaderTest, ValuesThatCrossTheEndOfABufferReadWhole) {
  for (std::size_t start = 990; start <= 1026; ++start) {
    SCOPED_TRACE(start);
    test::TestHost host;
    const std::string file = padded("p", start - 2) + "\r\n" +
                             "relatorio1.txt\r\n123.456 m\r\n'quoted, text'\r\n(a b)\r\n2*\r\nend";
    writeBytes("caso1.txt", file);
    host.units.openUnit(8, "caso1.txt");
    FixedText<50> value;
    double number = 0.0;
    readText(host.units, 8, value);
    EXPECT_EQ(textOf(value), padded("p"));
    readText(host.units, 8, value);
    EXPECT_EQ(textOf(value), padded("relatorio1.txt"));
    readReal(host.units, 8, number);
    EXPECT_EQ(number, 123.456);
    readText(host.units, 8, value);
    EXPECT_EQ(textOf(value), padded("quoted, text"));
    readText(host.units, 8, value);
    EXPECT_EQ(textOf(value), padded("ab"));
    readText(host.units, 8, value);
    EXPECT_EQ(textOf(value), padded("ab")) << "a null value";
    readText(host.units, 8, value);
    EXPECT_EQ(textOf(value), padded("end"));
  }
}

TEST_F(ValueReaderTest, AQuotedValueContinuedOnTheNextLineLosesThatLinesFirstByte) {
  for (const std::string_view end : {"\n", "\r\n"}) {
    test::TestHost host;
    writeBytes("caso1.txt", "'abc" + std::string(end) + "xdef' titulo" + std::string(end) + "next");
    host.units.openUnit(8, "caso1.txt");
    FixedText<50> value;
    readText(host.units, 8, value);
    EXPECT_EQ(textOf(value), padded("abcdef"));
    readText(host.units, 8, value);
    EXPECT_EQ(textOf(value), padded("next"));
  }
}

TEST_F(ValueReaderTest, BlankLinesAndLinesOfBlanksAndTabsBeforeAValueAreSkipped) {
  connect("\n\r\n   \n\t \t\r\n\n  9.81\n\n \n'x'\n");
  EXPECT_EQ(real(), 9.81);
  EXPECT_EQ(text(), padded("x"));
}

// Runs of blanks and record ends are skipped in the buffer at once, in blocks
// of bytes where they are long; a lone carriage return among them still
// takes the rest of its record, also inside parentheses, wherever the end of
// the first 1024-byte chunk falls.
TEST_F(ValueReaderTest, ALoneCarriageReturnAmongBlankLinesTakesItsRecordAtEveryBufferEnd) {
  const std::string blankLines =
      std::string(20, ' ') + "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\n\n" +
      "\t \t \t \t \t \t \t \t \t \t \rjunk 1\r\n \r\n\t\r\n \rjunk 2\r\n" + "(a\r\n" +
      std::string(17, ' ') + "\rskip\n b) rest\r\n\r\n  9.81\r\n";
  for (std::size_t start = 1024 - blankLines.size(); start <= 1026; ++start) {
    SCOPED_TRACE(start);
    test::TestHost host;
    writeBytes("caso1.txt", padded("p", start - 2) + "\r\n" + blankLines);
    host.units.openUnit(8, "caso1.txt");
    FixedText<50> value;
    double number = 0.0;
    readText(host.units, 8, value);
    EXPECT_EQ(textOf(value), padded("p"));
    readText(host.units, 8, value);
    EXPECT_EQ(textOf(value), padded("ab"));
    readReal(host.units, 8, number);
    EXPECT_EQ(number, 9.81);
    EXPECT_EQ(exitStatusOf([&] { readText(host.units, 8, value); }), 1);
    EXPECT_EQ(host.os.standardError, reportOf(EndOfFile, Statement::Read, "caso1.txt"));
  }
}

TEST_F(ValueReaderTest, AFileWithoutAValueEndsTheRunWithEndOfFile) {
  for (const std::string_view file : {"", "\n\n   \r\n\t", "'abc", "'abc\n", "(abc", "2*"}) {
    SCOPED_TRACE(std::string(file));
    test::TestHost host;
    writeBytes("caso1.txt", file);
    host.units.openUnit(8, "caso1.txt");
    FixedText<50> value;
    EXPECT_EQ(exitStatusOf([&] {
                readText(host.units, 8, value);
                readText(host.units, 8, value);
              }),
              1);
    EXPECT_EQ(host.os.standardError, reportOf(EndOfFile, Statement::Read, "caso1.txt"));
  }
}

TEST_F(ValueReaderTest, MeetingTheEndSetsTheEndOfFileFlagAndAReadAfterItFails) {
  connect("");
  bool endOfFileSeenAtExit = false;
  failures.setClosingStep([&] {
    endOfFileSeenAtExit = units.connectionOf(8).endOfFile;
    units.closeAllUnits();
  });
  expectFailure([&] { real(); }, EndOfFile);
  EXPECT_TRUE(endOfFileSeenAtExit);

  test::TestHost host;
  writeBytes("caso1.txt", "9.81\n");
  host.units.openUnit(8, "caso1.txt");
  host.units.connectionOf(8).endOfFile = true;
  double value = 0.0;
  EXPECT_EQ(exitStatusOf([&] { readReal(host.units, 8, value); }), 1);
  EXPECT_EQ(host.os.standardError, reportOf(ReadAfterEndOfFile, Statement::Read, "caso1.txt"));
}

TEST_F(ValueReaderTest, AFailedReadOfTheFileIsAReadFailure) {
  connect("first\n" + std::string(1500, ' ') + "\n9.81\n");
  os.failAt(Call::ReadFile, 2, OsError::Other);
  EXPECT_EQ(text(), padded("first"));
  expectFailure([&] { real(); }, ReadFailure);
}

TEST_F(ValueReaderTest, AReadOnANewFileWritesOutWhatWasWrittenAndMeetsTheEnd) {
  units.openUnit(8, "novo.txt");
  Connection& connection = units.connectionOf(8);
  ASSERT_TRUE(connection.writing);
  const std::string_view written = "9.81\r\n";
  std::copy(written.begin(), written.end(), connection.buffer.begin());
  connection.count = written.size();
  EXPECT_EQ(exitStatusOf([&] { real(); }), 1);
  EXPECT_EQ(os.standardError, reportOf(EndOfFile, Statement::Read, "novo.txt"));
  // The connection is gone (the closing step closed it); the file shows that
  // the read wrote the bytes out before it met the end.
  EXPECT_FALSE(units.isConnected(8));
  EXPECT_EQ(readBytes("novo.txt"), written);
}

TEST_F(ValueReaderTest, AValueLongerThanItsTextKeepsItsFirstCharacters) {
  const std::string sixty = "abcdefghij0123456789abcdefghij0123456789abcdefghij0123456789";
  connect(sixty + " comment\n'" + sixty + "'\n" + std::string(100000, 'v') + "\nnext\n");
  EXPECT_EQ(text(), sixty.substr(0, 50));
  EXPECT_EQ(text(), sixty.substr(0, 50));
  EXPECT_EQ(text<90>(), std::string(90, 'v'));
  EXPECT_EQ(text(), padded("next"));
}

// A number, or a repeat count, longer than the work area is never read as the
// shorter one that the area holds.
TEST_F(ValueReaderTest, AnUnquotedValueLongerThanTheWorkAreaIsNeverCutIntoAnotherNumber) {
  const std::string fits = "1" + std::string(kWorkAreaSize - 1, '0');
  connect(fits + "\n" + fits + "0\n");
  EXPECT_EQ(real(), 1e259);
  expectFailure([&] { real(); }, InvalidNumber);
  for (const auto& [line, kind] : {std::pair{fits + "0*5", IntegerOverflow},
                                   std::pair{"C:\\" + fits + "*.txt", InvalidInteger}}) {
    test::TestHost host;
    writeBytes("caso1.txt", line);
    host.units.openUnit(8, "caso1.txt");
    FixedText<50> value;
    EXPECT_EQ(exitStatusOf([&] { readText(host.units, 8, value); }), 1);
    EXPECT_EQ(host.os.standardError, reportOf(kind, Statement::Read, "caso1.txt"));
  }
}

// A repeat count at the end of its line gives a null value and the next line
// is still read; a parenthesised value over a line end still has the rest of
// its last line skipped.
TEST_F(ValueReaderTest, AReadConsumesTheLineWhereItsValueEndsAndNoMore) {
  connect("2*\n9.81\n(Voo de\nteste) comment\nnext\n3*\r\nlast\n");
  double g = 42.0;
  readReal(units, 8, g);
  EXPECT_EQ(g, 42.0);
  EXPECT_EQ(real(), 9.81);
  EXPECT_EQ(text(), padded("Voodeteste"));
  EXPECT_EQ(text(), padded("next"));
  FixedText<50> untouched;
  readText(units, 8, untouched);
  EXPECT_EQ(textOf(untouched), std::string(50, '\0'));
  EXPECT_EQ(text(), padded("last"));
}

}  // namespace
}  // namespace trovel
