#pragma once
// The formatted record writer: lays out a list of values by a format text as
// records of a file connected to a unit. Every write begins a new record, and
// every record ends with CR LF. Bytes are copied unchanged. The records go into
// the unit's output buffer, which reaches the file when it is full and when
// the unit is closed.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/connection.h"
#include "report/format-text.h"

namespace trovel {

class RecordWriter {
 public:
  explicit RecordWriter(Units& units) : units_(units) {}

  // Begins a write on a connected unit with `format`; the values follow, one
  // for each value item of the format, in order and of its kind.
  void beginWrite(int unit, FormatText format);
  // A text value; its bytes are copied at once.
  void addText(std::string_view bytes);
  // A number value, a finite double.
  void addReal(double value);
  // Carries out the write in the statement WRITE and returns when its last
  // record is in the unit's output buffer. The first write on a connection
  // that is not yet writing cuts the file at the current position. A failed
  // transfer to the file ends the run with DiskFull or WriteRefused.
  void endWrite();

 private:
  struct Value {
    bool isText;
    std::string text;
    double real;
  };

  Units& units_;
  int unit_ = 0;
  std::string_view format_;
  std::vector<Value> values_;
};

}  // namespace trovel
