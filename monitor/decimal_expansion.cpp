#include "monitor/decimal_expansion.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// An unsigned integer in base 10^9, least significant limb first.
class BigDecimal {
 public:
  explicit BigDecimal(std::uint64_t value) {
    do {
      limbs_.push_back(static_cast<std::uint32_t>(value % kBase));
      value /= kBase;
    } while (value != 0);
  }

  void MultiplyBy(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs_) {
      std::uint64_t product = static_cast<std::uint64_t>(limb) * factor + carry;
      limb = static_cast<std::uint32_t>(product % kBase);
      carry = product / kBase;
    }
    while (carry != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(carry % kBase));
      carry /= kBase;
    }
  }

  // Multiplies by base^count in steps whose products fit 64 bits.
  void MultiplyByPower(std::uint32_t base, int count, std::uint32_t step, int stepCount) {
    for (; count >= stepCount; count -= stepCount) MultiplyBy(step);
    std::uint32_t rest = 1;
    for (; count > 0; --count) rest *= base;
    if (rest != 1) MultiplyBy(rest);
  }

  std::string ToDigits() const {
    std::string text = std::to_string(limbs_.back());
    char limb[10];
    for (std::size_t i = limbs_.size() - 1; i-- > 0;) {
      std::uint32_t value = limbs_[i];
      for (int d = 8; d >= 0; --d) {
        limb[d] = static_cast<char>('0' + value % 10);
        value /= 10;
      }
      text.append(limb, 9);
    }
    return text;
  }

 private:
  static constexpr std::uint32_t kBase = 1000000000;
  std::vector<std::uint32_t> limbs_;
};

}  // namespace

void DecimalDigits::RoundTo(int count) {
  std::size_t kept = static_cast<std::size_t>(count);
  if (digits.size() <= kept) return;
  bool up = digits[kept] >= '5';
  digits.resize(kept);
  if (!up) return;
  std::size_t i = kept;
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) {
    digits.insert(digits.begin(), '1');
    digits.pop_back();
    ++exponent;
  } else {
    ++digits[i - 1];
  }
}

DecimalDigits ExactDecimal(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  int biasedExponent = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int binaryExponent;
  if (biasedExponent == 0) {
    binaryExponent = -1074;  // subnormal
  } else {
    mantissa |= std::uint64_t{1} << 52;
    binaryExponent = biasedExponent - 1075;
  }
  while ((mantissa & 1) == 0 && binaryExponent < 0) {
    mantissa >>= 1;
    ++binaryExponent;
  }

  // value = mantissa * 2^binaryExponent. For a negative exponent this is
  // mantissa * 5^-e / 10^-e, so the digits are those of mantissa * 5^-e.
  BigDecimal whole(mantissa);
  int decimalShift = 0;
  if (binaryExponent >= 0) {
    whole.MultiplyByPower(2, binaryExponent, std::uint32_t{1} << 30, 30);
  } else {
    whole.MultiplyByPower(5, -binaryExponent, 1220703125u, 13);  // 5^13
    decimalShift = binaryExponent;
  }

  DecimalDigits result;
  result.digits = whole.ToDigits();
  result.exponent = static_cast<int>(result.digits.size()) - 1 + decimalShift;
  std::size_t end = result.digits.find_last_not_of('0');
  result.digits.resize(end + 1);
  return result;
}
