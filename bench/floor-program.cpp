// The floor of a whole run: a minimal program that does the input and output
// of a run and nothing else. It reads the index file and the case file with
// 1024-byte reads, taking the first word (or the quoted text) of each line
// and skipping the rest of it, converts the eight numbers, and writes a
// 62-line file named by the case's first value. It runs no commands and
// checks nothing beyond what it needs not to crash.

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <cstring>
#include <span>
#include <string>

#include "floor-report.h"

namespace {

class LineReader {
 public:
  explicit LineReader(const char* name) : fd_(open(name, O_RDONLY)) {
    if (fd_ < 0) _exit(1);
  }
  ~LineReader() { close(fd_); }

  // The first word of the next line that is not blank, or the text between
  // the quotes that open it; the rest of its line is skipped.
  std::string value() {
    int byte;
    while ((byte = next()) == ' ' || byte == '\t' || byte == '\r' || byte == '\n') {
    }
    if (byte < 0) _exit(1);
    std::string text;
    if (byte == '\'') {
      while ((byte = next()) >= 0 && byte != '\'') text += static_cast<char>(byte);
    } else {
      for (; byte >= 0 && byte != ' ' && byte != '\t' && byte != '\r' && byte != '\n';
           byte = next()) {
        text += static_cast<char>(byte);
      }
    }
    if (byte != '\n') skipLine();
    return text;
  }

 private:
  int next() {
    if (position_ == count_ && !refill()) return -1;
    return static_cast<unsigned char>(buffer_[position_++]);
  }

  void skipLine() {
    for (;;) {
      const void* lineFeed = std::memchr(buffer_.data() + position_, '\n', count_ - position_);
      if (lineFeed != nullptr) {
        position_ =
            static_cast<std::size_t>(static_cast<const char*>(lineFeed) - buffer_.data()) + 1;
        return;
      }
      if (!refill()) return;
    }
  }

  bool refill() {
    const ssize_t got = read(fd_, buffer_.data(), buffer_.size());
    position_ = 0;
    count_ = got > 0 ? static_cast<std::size_t>(got) : 0;
    return count_ > 0;
  }

  int fd_;
  std::array<char, 1024> buffer_;
  std::size_t position_ = 0;
  std::size_t count_ = 0;
};

double numberOf(const std::string& text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

int main() {
  const std::string caseFile = LineReader("Trovel_1p1_dados.txt").value();
  LineReader reader(caseFile.c_str());
  const std::string caseName = reader.value();
  std::array<double, trovel::bench::kFloorNumbers> numbers{};
  for (std::size_t i = 0; i < 8; ++i) numbers[i] = numberOf(reader.value());
  const std::string title = reader.value();
  // The results stand for the methods' values: numbers of their size.
  for (std::size_t i = 8; i < numbers.size(); ++i) numbers[i] = numbers[i % 8] * 1.25;

  const int report = open(caseName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (report < 0) return 1;
  bool written = true;
  trovel::bench::writeFloorReport<1024>(numbers, caseName, title, [&](std::span<const char> bytes) {
    written =
        written && write(report, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  });
  return close(report) == 0 && written ? 0 : 1;
}
