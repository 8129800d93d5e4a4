#pragma once
// The free-form value reader, the program's only way of taking input. One
// read takes the next value from a connected unit and stores it into one
// destination: it stores the value, or finds a null value (a lone comma or
// slash, an empty quoted value, a repeat count without a value) and leaves
// the destination as it was, or raises a failure in the statement READ,
// which ends the run. A read consumes the records up to and including the
// one in which its value ends, so the next read starts on the following line.

#include <cstddef>
#include <span>

#include "host/connection.h"
#include "run/fixed-text.h"

namespace trovel {

// Unquoted values are collected in a work area of this many characters. A
// longer one keeps its first characters for a text; it is never converted
// from what the area holds: as a real it is InvalidNumber, as a repeat count
// IntegerOverflow unless a character in the area is already wrong.
inline constexpr std::size_t kWorkAreaSize = 260;

// One read into a text of at most kWorkAreaSize characters: the value's first
// characters, then blanks to the end.
void readText(Units& units, int unit, std::span<char> destination);

template <std::size_t N>
void readText(Units& units, int unit, FixedText<N>& destination) {
  static_assert(N <= kWorkAreaSize, "a text destination must fit the work area");
  readText(units, unit, std::span<char>(destination.bytes));
}

// One read into a real: the nearest double to the number written.
void readReal(Units& units, int unit, double& destination);

}  // namespace trovel
