#include "report/record-writer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "report/number-field.h"

namespace trovel {
namespace {

// The records of one write as they go into the unit's output buffer. Blanks
// items only count columns; the blanks are written in front of the next
// characters, and a record break or the end of the write drops them.
class RecordOutput {
 public:
  RecordOutput(Units& units, Connection& connection) : units_(units), connection_(connection) {}

  void skip(std::size_t columns) { pendingBlanks_ += columns; }

  void write(std::string_view bytes) {
    if (bytes.empty()) return;
    for (; pendingBlanks_ > 0; --pendingBlanks_) append(" ");
    append(bytes);
  }

  // Writes a fixed text, one apostrophe for each two.
  void writeFixed(std::string_view text) {
    for (std::size_t quote; (quote = text.find("''")) != std::string_view::npos;) {
      write(text.substr(0, quote + 1));
      text.remove_prefix(quote + 2);
    }
    write(text);
  }

  void endRecord() {
    pendingBlanks_ = 0;
    append("\r\n");
  }

 private:
  // A full buffer goes to the file at once, so a record may continue over
  // several transfers.
  void append(std::string_view bytes) {
    std::vector<char>& buffer = connection_.buffer;
    while (!bytes.empty()) {
      const std::size_t room = buffer.size() - connection_.count;
      const std::size_t taken = std::min(room, bytes.size());
      std::memcpy(buffer.data() + connection_.count, bytes.data(), taken);
      connection_.count += taken;
      bytes.remove_prefix(taken);
      if (connection_.count == buffer.size()) units_.writeOut(connection_);
    }
  }

  Units& units_;
  Connection& connection_;
  std::size_t pendingBlanks_ = 0;
};

}  // namespace

void RecordWriter::beginWrite(int unit, FormatText format) {
  unit_ = unit;
  format_ = format.text();
  values_.clear();
}

void RecordWriter::addText(std::string_view bytes) {
  try {
    values_.push_back(Value{true, std::string(bytes), 0.0});
  } catch (const std::bad_alloc&) {
    units_.failures().raiseFailure(FailureKind::NoMemoryForTextCopy);
  }
}

void RecordWriter::addReal(double value) {
  try {
    values_.push_back(Value{false, std::string(), value});
  } catch (const std::bad_alloc&) {
    units_.failures().raiseFailure(FailureKind::NoMemory);
  }
}

void RecordWriter::endWrite() {
  Connection& connection = units_.connectionOf(unit_);
  units_.failures().beginStatement(Statement::Write, connection.fileName);
  units_.beginWriting(connection);

  RecordOutput output(units_, connection);
  std::size_t next = 0;
  // A value of the wrong kind, or one too few, is a fault of the program itself.
  const auto take = [&](bool text) -> const Value& {
    if (next >= values_.size() || values_[next].isText != text) std::abort();
    return values_[next++];
  };
  forEachEditItem(format_, [&](const EditItem& item) {
    switch (item.kind) {
      case EditKind::RecordBreak:
        output.endRecord();
        break;
      case EditKind::Blanks:
        output.skip(item.columns);
        break;
      case EditKind::FixedText:
        output.writeFixed(item.text);
        break;
      case EditKind::TextValue:
        output.write(take(true).text);
        break;
      case EditKind::ScaleFactor:
        break;  // every number field follows a scale factor of 1, the only one it renders
      case EditKind::NumberField: {
        const NumberField field = numberField(take(false).real);
        output.write(std::string_view(field.data(), field.size()));
        break;
      }
    }
  });
  if (next != values_.size()) std::abort();
  output.endRecord();
  values_.clear();
}

}  // namespace trovel
