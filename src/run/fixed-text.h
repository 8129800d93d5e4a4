#pragma once
// A text of fixed declared length N, single-byte characters. Before any read
// it holds N NUL characters; a read that stores a value fills all N.

#include <array>
#include <cstddef>
#include <string_view>

namespace trovel {

template <std::size_t N>
struct FixedText {
  std::array<char, N> bytes{};

  static constexpr std::size_t size() { return N; }
  std::string_view view() const { return std::string_view(bytes.data(), N); }

  // The length without trailing blanks; only the character 32 is a blank.
  std::size_t trimmedLength() const {
    std::size_t length = N;
    while (length > 0 && bytes[length - 1] == ' ') --length;
    return length;
  }

  friend bool operator==(const FixedText&, const FixedText&) = default;
};

}  // namespace trovel
