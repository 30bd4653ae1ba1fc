#include "monitor/text.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "monitor/decimal_expansion.h"
#include "platform/platform.h"
#include "shell/program.h"
#include "shell/shell_texts.h"

namespace {

const char* g_constantBegin = nullptr;
const char* g_constantEnd = nullptr;

bool IsConstantText(Text text) {
  std::less_equal<const char*> atOrBefore;
  std::less<const char*> before;
  return g_constantBegin != nullptr && atOrBefore(g_constantBegin, text) && before(text, g_constantEnd);
}

Text CopyToOwnedText(const char* bytes, std::size_t length) {
  char* text = AllocateText(length + 1);
  std::memcpy(text, bytes, length);
  text[length] = '\0';
  return text;
}

}  // namespace

int CompareText(Text a, Text b) {
  if (a == nullptr) return b == nullptr || *b == '\0' ? 0 : -1;
  if (b == nullptr) return *a == '\0' ? 0 : 1;
  const unsigned char* left = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* right = reinterpret_cast<const unsigned char*>(b);
  while (*left == *right && *left != 0) {
    ++left;
    ++right;
  }
  if (*left == *right) return 0;
  return *left < *right ? -1 : 1;
}

std::int32_t TextLength(Text text) {
  return text == nullptr ? 0 : static_cast<std::int32_t>(std::strlen(text));
}

Text JoinTexts(std::initializer_list<Text> pieces) {
  // Each piece is measured once; the copy uses the recorded lengths.
  constexpr std::size_t kInlinePieces = 8;
  std::size_t inlineLengths[kInlinePieces];
  std::vector<std::size_t> manyLengths;
  std::size_t* lengths = inlineLengths;
  if (pieces.size() > kInlinePieces) {
    manyLengths.resize(pieces.size());
    lengths = manyLengths.data();
  }
  std::size_t total = 0;
  std::size_t index = 0;
  for (Text piece : pieces) {
    lengths[index] = piece == nullptr ? 0 : std::strlen(piece);
    total += lengths[index++];
  }
  char* joined = AllocateText(total + 1);
  char* end = joined;
  index = 0;
  for (Text piece : pieces) {
    std::size_t length = lengths[index++];
    if (length == 0) continue;
    std::memcpy(end, piece, length);
    end += length;
  }
  *end = '\0';
  return joined;
}

Text IntToText(std::int64_t value) {
  char buffer[100];
  char* start = buffer + sizeof buffer;
  // Work on the magnitude as unsigned, so the most negative value has one too.
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    *--start = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--start = '-';
  return CopyToOwnedText(start, static_cast<std::size_t>(buffer + sizeof buffer - start));
}

std::size_t FormatReal(double value, char (&buffer)[100]) {
  std::size_t length = 0;
  auto put = [&buffer, &length](char c) { buffer[length++] = c; };
  auto putText = [&put](const char* text) {
    while (*text != '\0') put(*text++);
  };

  if (std::isnan(value)) {
    putText("nan");
    buffer[length] = '\0';
    return length;
  }
  if (std::isinf(value)) {
    putText(value < 0 ? "-inf" : "inf");
    buffer[length] = '\0';
    return length;
  }
  if (value == 0) {  // either sign
    putText("0");
    buffer[length] = '\0';
    return length;
  }

  constexpr int kSignificant = 13;
  DecimalDigits digits = ExactDecimal(std::fabs(value));
  digits.RoundTo(17);
  digits.RoundTo(kSignificant);
  std::string significand = digits.digits;
  significand.resize(kSignificant, '0');
  int exponent = digits.exponent;

  if (value < 0) put('-');
  // Last significant digit worth writing: trailing zeros after the point go.
  int last = kSignificant - 1;
  while (last > 0 && significand[static_cast<std::size_t>(last)] == '0') --last;

  if (exponent < -4 || exponent >= kSignificant) {
    put(significand[0]);
    if (last > 0) {
      put('.');
      for (int i = 1; i <= last; ++i) put(significand[static_cast<std::size_t>(i)]);
    }
    put('e');
    put(exponent < 0 ? '-' : '+');
    int magnitude = exponent < 0 ? -exponent : exponent;
    char exponentDigits[8];
    int count = 0;
    do {
      exponentDigits[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    while (count < 3) exponentDigits[count++] = '0';
    while (count > 0) put(exponentDigits[--count]);
  } else if (exponent >= 0) {
    for (int i = 0; i <= exponent; ++i) put(significand[static_cast<std::size_t>(i)]);
    if (last > exponent) {
      put('.');
      for (int i = exponent + 1; i <= last; ++i) put(significand[static_cast<std::size_t>(i)]);
    }
  } else {
    putText("0.");
    for (int i = -1; i > exponent; --i) put('0');
    for (int i = 0; i <= last; ++i) put(significand[static_cast<std::size_t>(i)]);
  }
  buffer[length] = '\0';
  return length;
}

Text RealToText(double value) {
  char buffer[100];
  std::size_t length = FormatReal(value, buffer);
  return CopyToOwnedText(buffer, length);
}

double DivideWhole(double value, std::initializer_list<double> divisors) {
  double result = value;
  for (double divisor : divisors) {
    if (divisor == 0 || std::isnan(divisor)) {
      FatalError(kDivideByZero, 0);
    }
    volatile double quotient = result / divisor;  // stored as a double before truncating
    result = std::trunc(quotient);
  }
  return result;
}

char* AllocateText(std::size_t size) {
  void* block = ThePlatform().AllocateBytes(size);
  if (block == nullptr) {
    std::string message = kAllocationFailedBefore + std::to_string(size) + kAllocationFailedAfter;
    FatalError(message.c_str(), 0);
  }
  return static_cast<char*>(block);
}

void ReleaseText(Text text) {
  if (text == nullptr || IsConstantText(text)) return;
  ThePlatform().FreeBytes(const_cast<char*>(text));
}

void RegisterConstantTexts(const void* begin, std::size_t size) {
  g_constantBegin = static_cast<const char*>(begin);
  g_constantEnd = g_constantBegin + size;
}
