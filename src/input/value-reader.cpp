#include "input/value-reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <experimental/simd>
#include <string_view>

#include "input/number-text.h"

namespace trovel {
namespace {

using enum FailureKind;

// What a byte means to the scan of a value that is not quoted.
enum class ByteClass : std::uint8_t {
  Ordinary,
  RecordEnd,  // line feed and carriage return
  Blank,      // blank and tab
  Open,
  Close,
  Quote,  // apostrophe and double quote
  Star,
  Comma,
  Slash,
};

constexpr std::array<ByteClass, 256> kByteClasses = [] {
  std::array<ByteClass, 256> classes{};  // every byte is Ordinary unless named here
  classes['\n'] = ByteClass::RecordEnd;
  classes['\r'] = ByteClass::RecordEnd;
  classes[' '] = ByteClass::Blank;
  classes['\t'] = ByteClass::Blank;
  classes['('] = ByteClass::Open;
  classes[')'] = ByteClass::Close;
  classes['\''] = ByteClass::Quote;
  classes['"'] = ByteClass::Quote;
  classes['*'] = ByteClass::Star;
  classes[','] = ByteClass::Comma;
  classes['/'] = ByteClass::Slash;
  return classes;
}();

// The bytes that a run of blanks skips at once: blank, tab and line feed.
constexpr std::array<bool, 256> kSkippedInRun = [] {
  std::array<bool, 256> skipped{};
  skipped[' '] = skipped['\t'] = skipped['\n'] = true;
  return skipped;
}();

// As many bytes as the machine compares in one step.
using ByteBlock = std::experimental::native_simd<unsigned char>;

// True when a run of blanks skips every byte of the block at `at`: each is a
// blank, a tab, a line feed, or a carriage return with a line feed after it.
// Reads the byte after the block too.
bool isSpaceBlock(const char* at) {
  const auto block = [at](std::size_t from) {
    return ByteBlock(reinterpret_cast<const unsigned char*>(at + from),
                     std::experimental::element_aligned);
  };
  const auto equal = [](const ByteBlock& bytes, char byte) {
    return bytes == ByteBlock(static_cast<unsigned char>(byte));
  };
  const ByteBlock bytes = block(0);
  const ByteBlock next = block(1);
  return std::experimental::all_of(equal(bytes, ' ') || equal(bytes, '\t') || equal(bytes, '\n') ||
                                   (equal(bytes, '\r') && equal(next, '\n')));
}

ByteClass classOf(char byte) {
  return kByteClasses[static_cast<unsigned char>(byte)];
}

// The bytes of a connection one at a time, refilled from the file in chunks
// of the buffer's size. A file whose last byte is not a line feed gets one
// added before its end, so an unterminated last line reads like any other.
class ByteSource {
 public:
  ByteSource(Units& units, Connection& connection) : units_(units), connection_(connection) {}

  char take() {
    Connection& c = connection_;
    if (c.position < c.count) return c.buffer[c.position++];
    return takeAfterRefill();
  }

  // Takes the rest of the record that the byte just taken, a carriage return
  // or a line feed, ends: a line feed ends it there, a carriage return at the
  // next line feed.
  void passRecordEnd(char byte) {
    if (byte == '\r') skipRecord();
  }

  // Takes bytes up to and including the next line feed.
  void skipRecord() {
    for (;;) {
      const std::string_view rest = unread();
      if (const void* lineFeed = std::memchr(rest.data(), '\n', rest.size())) {
        consume(static_cast<std::size_t>(static_cast<const char*>(lineFeed) - rest.data()) + 1);
        return;
      }
      consume(rest.size());
      if (take() == '\n') return;
    }
  }

  // The bytes of the buffer not yet taken, for scanning a run of them in place.
  std::string_view unread() const {
    return std::string_view(connection_.buffer.data() + connection_.position,
                            connection_.count - connection_.position);
  }
  void consume(std::size_t count) { connection_.position += count; }

  [[noreturn]] void fail(FailureKind kind) { units_.failures().raiseFailure(kind); }

 private:
  char takeAfterRefill() {
    Connection& c = connection_;
    // Every byte of the buffer has been delivered; the last one decides
    // whether the end of the file needs a line feed first.
    if (c.count > 0) c.lastByteWasLineFeed = c.buffer[c.count - 1] == '\n';
    const Transfer read = units_.refill(c);
    if (read.error != OsError::None) fail(ReadFailure);
    if (read.count == 0) {
      if (!c.lastByteWasLineFeed) {
        c.lastByteWasLineFeed = true;
        return '\n';
      }
      c.endOfFile = true;
      fail(EndOfFile);
    }
    c.position = 1;
    return c.buffer[0];
  }

  Units& units_;
  Connection& connection_;
};

enum class Mode { Plain, Quoted, Parenthesised };

// One read: its start, the scan of one value and the finish. The state lives
// for one read only; between reads only the connection's buffer, position
// and end-of-file flag carry over.
class ValueScan {
 public:
  ValueScan(Units& units, int unit) : ValueScan(units, start(units, unit)) {}

  // Scans one value; a quoted value's characters go straight to `quotedTarget`
  // (empty for a real destination) as far as it reaches.
  void scan(std::span<char> quotedTarget) {
    for (;;) {
      const char byte = source_.take();
      const bool ended =
          mode_ == Mode::Quoted ? takeQuoted(byte, quotedTarget) : takeUnquoted(byte);
      if (ended) return;
    }
  }

  // Skips the rest of the value's record, unless its record end ended the value.
  void finish() {
    if (!recordEndPassed_) source_.skipRecord();
  }

  bool isNull() const { return length_ == 0; }
  Mode mode() const { return mode_; }
  std::size_t length() const { return length_; }
  bool isOverlong() const { return length_ > area_.size(); }
  // The collected characters of an unquoted value, as far as the work area holds them.
  std::string_view collected() const {
    return std::string_view(area_.data(), std::min(length_, area_.size()));
  }
  [[noreturn]] void fail(FailureKind kind) { source_.fail(kind); }

 private:
  ValueScan(Units& units, Connection& connection) : source_(units, connection) {}

  static Connection& start(Units& units, int unit) {
    Connection& connection = units.connectionOf(unit);
    units.failures().beginStatement(Statement::Read, connection.fileName);
    if (connection.writing) units.endWriting(connection);
    if (connection.endOfFile) units.failures().raiseFailure(ReadAfterEndOfFile);
    return connection;
  }

  // A blank, a tab or a record end ends an unquoted value once it has begun
  // or a repeat count waits for it; before that, and inside parentheses, it
  // is skipped.
  bool blankEndsValue() const { return mode_ == Mode::Plain && (length_ > 0 || repeatPending_); }

  // Takes one byte of an unquoted value; true when it ends the value.
  bool takeUnquoted(char byte) {
    switch (classOf(byte)) {
      case ByteClass::Ordinary:
        collect(byte);
        collectOrdinaryRun();
        return false;
      case ByteClass::RecordEnd:
        source_.passRecordEnd(byte);
        // A record end that ends the value has been consumed with its
        // record; any other is skipped as a blank.
        recordEndPassed_ = blankEndsValue();
        if (recordEndPassed_) return true;
        skipSpaceRun();
        return false;
      case ByteClass::Blank:
        if (blankEndsValue()) return true;
        skipSpaceRun();
        return false;
      case ByteClass::Open:
        if (length_ > 0) break;
        mode_ = Mode::Parenthesised;
        return false;
      case ByteClass::Close:
        if (mode_ == Mode::Parenthesised) return true;
        break;
      case ByteClass::Quote:
        if (length_ > 0) break;
        mode_ = Mode::Quoted;
        quote_ = byte;
        return false;
      case ByteClass::Star:
        takeRepeatCount();
        return false;
      case ByteClass::Comma:
        if (mode_ == Mode::Plain) return true;
        break;
      case ByteClass::Slash:
        return true;
    }
    collect(byte);
    return false;
  }

  // Takes one byte of a quoted value; true when it ends the value.
  bool takeQuoted(char byte, std::span<char> target) {
    if (byte == '\n' || byte == '\r') {
      source_.passRecordEnd(byte);
      (void)source_.take();  // the first byte of a continuation line is dropped
      return false;
    }
    if (byte == quote_) {
      const char next = source_.take();
      if (next != quote_) {
        // The byte after the closing quote goes with the value; a line feed
        // there ends the value's record as well.
        recordEndPassed_ = next == '\n';
        return true;
      }
    }
    if (length_ < target.size()) target[length_] = byte;
    ++length_;
    return false;
  }

  void collect(char byte) {
    if (length_ < area_.size()) area_[length_] = byte;
    ++length_;
  }

  // The ordinary bytes that follow in the buffer, taken in one step.
  void collectOrdinaryRun() {
    const std::string_view rest = source_.unread();
    std::size_t run = 0;
    while (run < rest.size() && classOf(rest[run]) == ByteClass::Ordinary) ++run;
    if (length_ < area_.size()) {
      const std::size_t kept = std::min(run, area_.size() - length_);
      std::memcpy(area_.data() + length_, rest.data(), kept);
    }
    length_ += run;
    source_.consume(run);
  }

  // Where blanks are skipped, a record end is one more blank: the blanks,
  // tabs, line feeds and CR LF pairs that follow in the buffer are skipped in
  // one step, a block of bytes at a time while the block holds nothing else.
  // Any other carriage return is left to the byte-wise scan, which takes the
  // rest of its record with it.
  void skipSpaceRun() {
    const std::string_view rest = source_.unread();
    std::size_t run = 0;
    while (run < rest.size()) {
      if (rest.size() - run > ByteBlock::size() && isSpaceBlock(rest.data() + run)) {
        run += ByteBlock::size();
      } else if (kSkippedInRun[static_cast<unsigned char>(rest[run])]) {
        ++run;
      } else if (rest.substr(run).starts_with("\r\n")) {
        run += 2;
      } else {
        break;
      }
    }
    source_.consume(run);
  }

  // The text collected so far is a repeat count: check it, then collect the
  // value itself. The count has no other effect, since a read takes one value.
  void takeRepeatCount() {
    if (repeatPending_) fail(RepeatCountTwice);
    const RepeatCountConversion count = convertRepeatCount(collected(), isOverlong());
    if (count.failure) fail(*count.failure);
    repeatPending_ = true;
    length_ = 0;
  }

  ByteSource source_;
  Mode mode_ = Mode::Plain;
  char quote_ = '\'';
  std::size_t length_ = 0;  // characters of the value met so far, also beyond the work area
  bool repeatPending_ = false;
  bool recordEndPassed_ = false;
  std::array<char, kWorkAreaSize> area_;
};

}  // namespace

void readText(Units& units, int unit, std::span<char> destination) {
  ValueScan value(units, unit);
  value.scan(destination);
  if (!value.isNull()) {
    if (value.mode() != Mode::Quoted) {
      const std::string_view text = value.collected();
      std::copy_n(text.begin(), std::min(text.size(), destination.size()), destination.begin());
    }
    if (value.length() < destination.size()) {
      std::fill(destination.begin() + value.length(), destination.end(), ' ');
    }
  }
  value.finish();
}

void readReal(Units& units, int unit, double& destination) {
  ValueScan value(units, unit);
  value.scan({});
  if (!value.isNull()) {
    if (value.mode() != Mode::Plain) value.fail(ValueFormMismatch);
    // A number cut at the end of the work area could be a different number.
    if (value.isOverlong()) value.fail(InvalidNumber);
    const NumberConversion number = convertNumber(value.collected());
    if (number.failure) value.fail(*number.failure);
    destination = number.value;
  }
  value.finish();
}

}  // namespace trovel
