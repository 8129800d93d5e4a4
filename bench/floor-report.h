#pragma once
// The floor's report: what any program must do at least to write a report of
// this shape. 62 lines ended by CR LF, 20 of them with a number written by
// std::to_chars with 17 significant digits, gathered in a buffer of `Chunk`
// bytes that goes to `write` whenever it is full and once at the end. The
// lines have about the length of the real report's lines; their texts are
// fillers.

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <span>
#include <string_view>

namespace trovel::bench {

inline constexpr std::size_t kFloorNumbers = 20;

// The shape of the report's lines: e empty, t text, c the case name, i the
// title, n a number.
inline constexpr std::string_view kFloorShape =
    "eteceietttttennnnnnnnneeteneeteneeteneetenennneetenennneetettt";
static_assert(kFloorShape.size() == 62);
static_assert(std::ranges::count(kFloorShape, 'n') == kFloorNumbers);

inline constexpr std::string_view kFloorText = " ---------------------------------------------";
inline constexpr std::string_view kFloorLabel = " = -------------------------------------";

template <std::size_t Chunk, typename Write>
class FloorOutput {
 public:
  explicit FloorOutput(Write& write) : write_(write) {}

  void put(std::string_view bytes) {
    while (!bytes.empty()) {
      const std::size_t taken = std::min(Chunk - count_, bytes.size());
      std::memcpy(buffer_.data() + count_, bytes.data(), taken);
      count_ += taken;
      bytes.remove_prefix(taken);
      if (count_ == Chunk) flush();
    }
  }

  void flush() {
    if (count_ > 0) write_(std::span<const char>(buffer_.data(), count_));
    count_ = 0;
  }

 private:
  Write& write_;
  std::array<char, Chunk> buffer_;
  std::size_t count_ = 0;
};

template <std::size_t Chunk, typename Write>
void writeFloorReport(std::span<const double, kFloorNumbers> numbers, std::string_view caseName,
                      std::string_view title, Write&& write) {
  FloorOutput<Chunk, Write> out(write);
  std::size_t number = 0;
  for (const char line : kFloorShape) {
    switch (line) {
      case 't':
        out.put(kFloorText);
        break;
      case 'c':
        out.put(" Caso   = ");
        out.put(caseName);
        break;
      case 'i':
        out.put(" Titulo = ");
        out.put(title);
        break;
      case 'n': {
        std::array<char, 32> text;
        const auto written = std::to_chars(text.data(), text.data() + text.size(),
                                           numbers[number++], std::chars_format::scientific, 16);
        out.put("   ");
        out.put(std::string_view(text.data(), static_cast<std::size_t>(written.ptr - text.data())));
        out.put(kFloorLabel);
        break;
      }
      default:
        break;
    }
    out.put("\r\n");
  }
  out.flush();
}

}  // namespace trovel::bench
