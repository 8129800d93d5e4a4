#pragma once
// Format texts: the fixed texts that lay out one formatted write, a list of
// edit items separated by commas and enclosed in parentheses. The writer knows
// six items: "/" (record break), nX (n blanks), a fixed text between
// apostrophes (two apostrophes inside stand for one), "A" (a text value),
// "1P" (scale factor 1) and "E15.6" (a number field, after a 1P).

#include <cstddef>
#include <string_view>

namespace trovel {

enum class EditKind { RecordBreak, Blanks, FixedText, TextValue, ScaleFactor, NumberField };

struct EditItem {
  EditKind kind;
  std::size_t columns = 0;  // Blanks: how many
  std::string_view text;    // FixedText: as between the apostrophes, doubled apostrophes kept
};

// Calls visit(item) for each edit item of `format` in order and returns true
// when the whole text is a format text of the six items; it stops at the
// first thing that is not.
template <typename Visit>
constexpr bool forEachEditItem(std::string_view format, Visit&& visit);

// True when `format` is a format text of the six items in which every number
// field follows a scale factor.
constexpr bool isSoundFormat(std::string_view format);

// A format text that is known to be sound: its constructor runs at compile
// time, so a text that is not does not compile.
class FormatText {
 public:
  consteval FormatText(const char* format) : text_(format) {
    if (!isSoundFormat(text_)) throw "not a format text of the writer's edit items";
  }

  constexpr std::string_view text() const { return text_; }

  // True when the value items, in order, are `kinds`: 'A' for a text value,
  // 'E' for a number field.
  constexpr bool takesValues(std::string_view kinds) const;

 private:
  std::string_view text_;
};

// ---------------------------------------------------------------------------

namespace format_detail {

constexpr bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

struct Token {
  std::string_view spelling;
  EditKind kind;
};

// The items that are always spelt the same.
constexpr Token kTokens[] = {
    {"/", EditKind::RecordBreak},
    {"A", EditKind::TextValue},
    {"1P", EditKind::ScaleFactor},
    {"E15.6", EditKind::NumberField},
};

// The length of a fixed text item at the start of `rest`, apostrophes
// included, or 0 when it has no closing apostrophe.
constexpr std::size_t fixedTextLength(std::string_view rest) {
  for (std::size_t at = 1; at < rest.size(); ++at) {
    if (rest[at] != '\'') continue;
    if (at + 1 < rest.size() && rest[at + 1] == '\'') {
      ++at;
      continue;
    }
    return at + 1;
  }
  return 0;
}

// Reads one item from the start of `rest` and removes it; false when there is none.
constexpr bool readItem(std::string_view& rest, EditItem& item) {
  for (const Token& token : kTokens) {
    if (rest.starts_with(token.spelling)) {
      item = EditItem{token.kind, 0, {}};
      rest.remove_prefix(token.spelling.size());
      return true;
    }
  }
  if (rest.starts_with('\'')) {
    const std::size_t length = fixedTextLength(rest);
    if (length == 0) return false;
    item = EditItem{EditKind::FixedText, 0, rest.substr(1, length - 2)};
    rest.remove_prefix(length);
    return true;
  }
  // nX, with n from 1 to 99999
  std::size_t columns = 0;
  std::size_t length = 0;
  for (; length < rest.size() && length < 5 && isDigit(rest[length]); ++length) {
    columns = columns * 10 + static_cast<std::size_t>(rest[length] - '0');
  }
  if (columns == 0 || length >= rest.size() || rest[length] != 'X') return false;
  item = EditItem{EditKind::Blanks, columns, {}};
  rest.remove_prefix(length + 1);
  return true;
}

}  // namespace format_detail

template <typename Visit>
constexpr bool forEachEditItem(std::string_view format, Visit&& visit) {
  if (!format.starts_with('(')) return false;
  std::string_view rest = format.substr(1);
  for (;;) {
    EditItem item{EditKind::RecordBreak, 0, {}};
    if (!format_detail::readItem(rest, item)) return false;
    visit(item);
    if (rest == ")") return true;
    if (!rest.starts_with(',')) return false;
    rest.remove_prefix(1);
  }
}

constexpr bool isSoundFormat(std::string_view format) {
  bool scaled = false;
  bool numberBeforeScale = false;
  const bool parsed = forEachEditItem(format, [&](const EditItem& item) {
    if (item.kind == EditKind::ScaleFactor) scaled = true;
    if (item.kind == EditKind::NumberField && !scaled) numberBeforeScale = true;
  });
  return parsed && !numberBeforeScale;
}

constexpr bool FormatText::takesValues(std::string_view kinds) const {
  std::size_t matched = 0;
  bool same = true;
  forEachEditItem(text_, [&](const EditItem& item) {
    if (item.kind != EditKind::TextValue && item.kind != EditKind::NumberField) return;
    const char kind = item.kind == EditKind::TextValue ? 'A' : 'E';
    same = same && matched < kinds.size() && kinds[matched] == kind;
    ++matched;
  });
  return same && matched == kinds.size();
}

}  // namespace trovel
