// The exact decimal expansion of a double, and rounding it to a number of
// significant digits with ties away from zero.
#pragma once

#include <string>

struct DecimalDigits {
  std::string digits;  // significant digits, the first one not zero
  int exponent = 0;    // power of ten of the first digit

  // Keeps `count` significant digits; a dropped part of half or more raises
  // the last kept digit (so ties go away from zero), carrying as needed.
  void RoundTo(int count);
};

// Every digit of a finite, positive `value`.
DecimalDigits ExactDecimal(double value);
