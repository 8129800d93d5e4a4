#include "host/interpreter-escape.h"

#include <algorithm>

namespace trovel {
namespace {

constexpr std::string_view kSpecialCharacters = "&|<>^()!\"%";
constexpr char kCaret = '^';

bool isSpecial(char c) {
  return kSpecialCharacters.find(c) != std::string_view::npos;
}

}  // namespace

std::size_t escapedLength(std::string_view text) {
  return text.size() + static_cast<std::size_t>(std::ranges::count_if(text, isSpecial));
}

char* copyEscaped(std::string_view text, char* out) {
  for (const char c : text) {
    if (isSpecial(c)) *out++ = kCaret;
    *out++ = c;
  }
  return out;
}

}  // namespace trovel
