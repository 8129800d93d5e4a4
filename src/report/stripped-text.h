#pragma once
// A fixed text without its leading and trailing blanks, for a text value of
// a formatted write. Only the character 32 is a blank: every other byte, the
// zero byte included, is text.

#include <cstddef>
#include <string_view>

#include "run/fixed-text.h"

namespace trovel {

template <std::size_t N>
struct StrippedText {
  FixedText<N> copy;   // left-adjusted: the leading blanks moved to the end
  std::size_t length;  // the copy's trimmedLength

  std::string_view text() const { return std::string_view(copy.bytes.data(), length); }
};

template <std::size_t N>
StrippedText<N> strippedText(const FixedText<N>& text) {
  std::size_t leading = 0;
  while (leading < N && text.bytes[leading] == ' ') ++leading;
  StrippedText<N> stripped{};
  for (std::size_t i = 0; i < N; ++i) {
    stripped.copy.bytes[i] = i + leading < N ? text.bytes[i + leading] : ' ';
  }
  stripped.length = stripped.copy.trimmedLength();
  return stripped;
}

}  // namespace trovel
