// FormatReal and RealToText against a reference built directly from the
// formatting rules: the exact decimal value (from glibc, which prints any
// number of digits exactly), rounded to 17 and then 13 significant digits
// with ties away from zero, then written as "%.13g" with a three-digit
// exponent.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "fuzz_support.h"
#include "monitor/text.h"

namespace {

struct Decimal {
  std::string digits;  // significant digits, no leading or trailing zeros
  int exponent = 0;    // power of ten of the first digit
};

// A finite double has at most 767 significant digits, so 801 are exact.
constexpr int kPrintedDigits = 800;

Decimal ExactDigits(double magnitude) {
  char buffer[kPrintedDigits + 32];
  int length = std::snprintf(buffer, sizeof buffer, "%.*e", kPrintedDigits, magnitude);
  FUZZ_CHECK(length > 0 && static_cast<std::size_t>(length) < sizeof buffer, "snprintf gave %d", length);
  std::string text(buffer, static_cast<std::size_t>(length));
  std::size_t e = text.find('e');
  FUZZ_CHECK(e == static_cast<std::size_t>(kPrintedDigits) + 2 && text[1] == '.', "odd %%e form: %s", buffer);
  Decimal result;
  result.digits = text.substr(0, 1) + text.substr(2, e - 2);
  result.exponent = std::atoi(text.c_str() + e + 1);
  // The tail must be zeros; otherwise the expansion was cut short.
  FUZZ_CHECK(result.digits.find_first_not_of('0', 780) == std::string::npos, "inexact expansion of %a", magnitude);
  std::size_t last = result.digits.find_last_not_of('0');
  FUZZ_CHECK(last != std::string::npos && result.digits[0] != '0', "no digits for %a", magnitude);
  result.digits.resize(last + 1);
  return result;
}

// Keeps `count` significant digits. The dropped digits, read as a fraction of
// one unit of the last kept digit, round up when they are half or more.
void RoundAwayFromZero(Decimal& value, std::size_t count) {
  if (value.digits.size() <= count) return;
  std::string dropped = value.digits.substr(count);
  std::string half = "5" + std::string(dropped.size() - 1, '0');
  bool up = dropped >= half;  // same length, so digit order is numeric order
  std::string kept = value.digits.substr(0, count);
  if (up) {
    int carry = 1;
    for (std::size_t i = kept.size(); i-- > 0 && carry != 0;) {
      int digit = kept[i] - '0' + carry;
      carry = digit / 10;
      kept[i] = static_cast<char>('0' + digit % 10);
    }
    if (carry != 0) {  // 99..9 became 100..0: one more digit in front
      kept = "1" + kept;
      kept.resize(count);
      ++value.exponent;
    }
  }
  std::size_t last = kept.find_last_not_of('0');
  kept.resize(last + 1);
  value.digits = kept;
}

std::string Reference(double x) {
  if (std::isnan(x)) return "nan";
  if (std::isinf(x)) return x < 0 ? "-inf" : "inf";
  if (x == 0) return "0";
  Decimal value = ExactDigits(std::fabs(x));
  RoundAwayFromZero(value, 17);
  RoundAwayFromZero(value, 13);
  const std::string& digits = value.digits;  // 1 to 13 digits, trailing zeros gone
  const int e = value.exponent;

  std::string out = x < 0 ? "-" : "";
  if (e < -4 || e >= 13) {
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "e%c%03d", e < 0 ? '-' : '+', e < 0 ? -e : e);
    out += exponent;
  } else if (e >= 0) {
    std::size_t whole = static_cast<std::size_t>(e) + 1;
    std::string padded = digits;
    if (padded.size() < whole) padded.append(whole - padded.size(), '0');
    out += padded.substr(0, whole);
    if (padded.size() > whole) out += "." + padded.substr(whole);
  } else {
    out += "0." + std::string(static_cast<std::size_t>(-e - 1), '0') + digits;
  }
  return out;
}

void Check(double x) {
  FakePlatform& fake = FuzzPlatform();
  std::string expected = Reference(x);
  Guarded([&] {
    char buffer[100];
    std::memset(buffer, 0x55, sizeof buffer);
    std::size_t length = FormatReal(x, buffer);
    FUZZ_CHECK(length < sizeof buffer && buffer[length] == '\0' && std::strlen(buffer) == length,
               "FormatReal(%a) length %zu", x, length);
    std::string formatted(buffer, length);
    FUZZ_CHECK(formatted == expected, "FormatReal(%.17g = %a) gave \"%s\", expected \"%s\"", x, x,
               formatted.c_str(), expected.c_str());

    long liveBefore = fake.liveAllocations;
    long countBefore = fake.allocationCount;
    Text text = RealToText(x);
    FUZZ_CHECK(text != nullptr, "RealToText(%a) gave null", x);
    FUZZ_CHECK(fake.allocationCount == countBefore + 1 && fake.lastAllocationSize == length + 1,
               "RealToText(%a): %ld allocations, last of %zu bytes", x, fake.allocationCount - countBefore,
               fake.lastAllocationSize);
    std::string returned = text;
    ReleaseText(text);
    FUZZ_CHECK(returned == formatted, "RealToText(%a) gave \"%s\", FormatReal \"%s\"", x, returned.c_str(),
               formatted.c_str());
    FUZZ_CHECK(fake.liveAllocations == liveBefore, "RealToText(%a) left %ld texts", x,
               fake.liveAllocations - liveBefore);
  });
}

std::uint64_t Load64(const std::uint8_t* data, std::size_t size) {
  std::uint8_t bytes[8] = {};
  std::memcpy(bytes, data, size < 8 ? size : 8);
  std::uint64_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The reference itself must reproduce the documented examples.
  struct Example {
    double x;
    const char* text;
  } examples[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {1, "1"},
      {931, "931"},
      {465, "465"},
      {-1302, "-1302"},
      {2047, "2047"},
      {0.5, "0.5"},
      {1.0 / 3, "0.3333333333333"},
      {2.0 / 3, "0.6666666666667"},
      {0.0001, "0.0001"},
      {0.00001, "1e-005"},
      {1234567890123, "1234567890123"},
      {1234567890122.5, "1234567890123"},
      {9999999999999.5, "1e+013"},
      {1e13, "1e+013"},
      {12345678901234, "1.234567890123e+013"},
      {1e15, "1e+015"},
      {1e308, "1e+308"},
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {std::numeric_limits<double>::quiet_NaN(), "nan"},
  };
  for (const Example& example : examples) {
    std::string reference = Reference(example.x);
    FUZZ_CHECK(reference == example.text, "reference gives \"%s\" for %a, not \"%s\"", reference.c_str(),
               example.x, example.text);
  }
  FuzzPlatform();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint64_t bits = Load64(data, size);
  double x;
  std::memcpy(&x, &bits, sizeof x);
  Check(x);  // NaN and infinities included: the program writes "nan", "inf", "-inf"

  // Derived values reach the cases raw bits rarely hit: whole numbers, halves
  // (ties at the 14th digit), decimal fractions near rounding boundaries, and
  // the read-outs the program itself formats.
  const std::int64_t whole = static_cast<std::int64_t>(bits);
  Check(static_cast<double>(whole));
  Check(static_cast<double>(whole >> 10) / 2);  // exact: at most 2^53 halves
  static const double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const std::size_t power = size > 8 ? data[8] % (sizeof kPowersOfTen / sizeof kPowersOfTen[0]) : 5;
  Check(static_cast<double>(whole % 100000000000000000) / kPowersOfTen[power]);
  Check(static_cast<double>(whole % 100000000000000000) * kPowersOfTen[power]);

  const std::int32_t kibibytes = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
  Guarded([&] {
    double quotient = DivideWhole(static_cast<double>(kibibytes), {1024, 1024});
    double expected = std::trunc(std::trunc(static_cast<double>(kibibytes) / 1024) / 1024);
    FUZZ_CHECK(std::memcmp(&quotient, &expected, sizeof quotient) == 0, "DivideWhole(%d, 1024, 1024) gave %a",
               kibibytes, quotient);
    Check(quotient);
  });
  return 0;
}
