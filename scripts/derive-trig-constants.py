#!/usr/bin/env python3
"""Derives the constants of src/run/trigonometry.cpp with integer arithmetic only.

pi comes from Machin's formula pi/4 = 4 atan(1/5) - atan(1/239), evaluated on
integers scaled by 2^bits; every constant is then checked against a second,
longer evaluation, so a bit that depends on the truncation cannot slip through.
"""


from fractions import Fraction


def arctan_of_inverse(n, scale):
    """atan(1/n) * 2^scale, truncated, within a few units."""
    term = (1 << scale) // n
    total = term
    k = 1
    while term:
        term //= n * n
        total += (-1) ** k * (term // (2 * k + 1))
        k += 1
    return total


def pi_scaled(bits):
    """floor(pi * 2^bits) or a few units below."""
    guard = 64
    s = bits + guard
    return (4 * (4 * arctan_of_inverse(5, s) - arctan_of_inverse(239, s))) >> guard


def constants(bits):
    p = pi_scaled(bits)
    two_over_pi = (1 << (257 + bits)) // p  # floor(2/pi * 2^256)
    shift = bits + 2 - 128  # pi/4 * 2^128 = p / 2^shift
    quarter_pi = (p + (1 << (shift - 1))) >> shift  # rounded
    return two_over_pi, quarter_pi


def words(value, count):
    mask = (1 << 64) - 1
    return [(value >> (64 * (count - 1 - i))) & mask for i in range(count)]


def main():
    first = constants(1200)
    assert first == constants(1600), "a constant depends on the precision of pi"
    two_over_pi, quarter_pi = first
    print("2/pi * 2^256, most significant word first:")
    print(", ".join("0x%016x" % w for w in words(two_over_pi, 4)))
    print("pi/4 * 2^128, rounded, high word then low word:")
    print(", ".join("0x%016x" % w for w in words(quarter_pi, 2)))
    sixth = 1 / 6  # the double nearest to 1/6
    rest = Fraction(1, 6) - Fraction(sixth)
    print("1/6 as a sum of two doubles:")
    print(float.hex(sixth), float.hex(float(rest)))


if __name__ == "__main__":
    main()
