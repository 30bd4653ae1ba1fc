// Texts: zero-terminated GBK byte strings, and the operations the handlers
// build their read-outs with. A null Text is the empty text. Texts returned by
// the operations here (and by property reads) are owned by the caller, who
// releases each once with ReleaseText; constant texts are never released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

using Text = const char*;

// Byte-wise comparison without case folding: exactly -1, 0 or 1.
int CompareText(Text a, Text b);
std::int32_t TextLength(Text text);

// New owned text holding the pieces one after another; never null.
Text JoinTexts(std::initializer_list<Text> pieces);
// Decimal form of `value`, as "%d" writes it (64-bit).
Text IntToText(std::int64_t value);
// "%.13g" with a three-digit exponent, ties away from zero.
Text RealToText(double value);
// Divides by each divisor in turn, truncating toward zero after every step.
// A zero or not-a-number divisor is a fatal error.
double DivideWhole(double value, std::initializer_list<double> divisors);

// `size` bytes of uninitialised text storage; never null (a failure is fatal).
char* AllocateText(std::size_t size);
void ReleaseText(Text text);

// Texts inside [begin, begin + size) are constant: ReleaseText leaves them alone.
void RegisterConstantTexts(const void* begin, std::size_t size);

// Formats `value` as RealToText does into `buffer`; returns the length.
std::size_t FormatReal(double value, char (&buffer)[100]);

// Sole owner of one owned text.
class OwnedText {
 public:
  OwnedText() = default;
  explicit OwnedText(Text text) : text_(text) {}
  OwnedText(const OwnedText&) = delete;
  OwnedText& operator=(const OwnedText&) = delete;
  OwnedText(OwnedText&& other) noexcept : text_(other.text_) { other.text_ = nullptr; }
  OwnedText& operator=(OwnedText&& other) noexcept {
    if (this != &other) {
      ReleaseText(text_);
      text_ = other.text_;
      other.text_ = nullptr;
    }
    return *this;
  }
  ~OwnedText() { ReleaseText(text_); }

  Text Get() const { return text_; }
  // The text, or the empty text in place of null.
  Text OrEmpty() const { return text_ != nullptr ? text_ : ""; }

 private:
  Text text_ = nullptr;
};
