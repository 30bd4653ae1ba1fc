// IntToText and JoinTexts: an integer's text reads back as the same value in
// plain decimal form; a join is the concatenation of its pieces; each makes
// exactly one allocation of the final size, and every text is given back.
//
// Input: 8 bytes of a 64-bit integer, a byte choosing 0 to 10 pieces, then
// per piece a length byte followed by that many bytes, or one of the marks
// below in place of the length.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "monitor/constant_texts.h"
#include "monitor/text.h"

namespace {

constexpr unsigned char kNullPiece = 0xFF;
constexpr unsigned char kConstantPiece = 0xFE;  // next byte picks one of the program's constant texts
constexpr unsigned char kIntegerPiece = 0xFD;   // the owned text IntToText just returned

const char* const kConstants[] = {
    kConstantTexts.empty,          kConstantTexts.usbInserted,    kConstantTexts.noUsbInserted,
    kConstantTexts.queryFailed,    kConstantTexts.kilobytes,      kConstantTexts.totalClosing,
    kConstantTexts.freeClosing,    kConstantTexts.stopMonitoring, kConstantTexts.startMonitoring,
};

// Checks IntToText(value) and returns its text (owned by the caller).
Text CheckInteger(std::int64_t value) {
  FakePlatform& fake = FuzzPlatform();
  long countBefore = fake.allocationCount;
  Text text = IntToText(value);
  FUZZ_CHECK(text != nullptr, "IntToText(%lld) gave null", static_cast<long long>(value));
  std::string written = text;
  FUZZ_CHECK(fake.allocationCount == countBefore + 1 && fake.lastAllocationSize == written.size() + 1,
             "IntToText(%lld): %ld allocations, last of %zu bytes", static_cast<long long>(value),
             fake.allocationCount - countBefore, fake.lastAllocationSize);

  // Shape: an optional minus, then digits without a leading zero (zero is "0").
  std::size_t start = !written.empty() && written[0] == '-' ? 1 : 0;
  std::string digits = written.substr(start);
  FUZZ_CHECK(!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos &&
                 (digits[0] != '0' || digits == "0") && !(start == 1 && digits == "0"),
             "IntToText(%lld) gave \"%s\"", static_cast<long long>(value), Escaped(written).c_str());
  FUZZ_CHECK((start == 1) == (value < 0), "IntToText(%lld) gave \"%s\": wrong sign", static_cast<long long>(value),
             written.c_str());

  errno = 0;
  char* end = nullptr;
  long long parsed = std::strtoll(written.c_str(), &end, 10);
  FUZZ_CHECK(errno == 0 && *end == '\0' && parsed == value, "IntToText(%lld) gave \"%s\", which reads as %lld",
             static_cast<long long>(value), written.c_str(), parsed);
  return text;
}

Text Join(const std::vector<Text>& p) {
  switch (p.size()) {
    case 0: return JoinTexts({});
    case 1: return JoinTexts({p[0]});
    case 2: return JoinTexts({p[0], p[1]});
    case 3: return JoinTexts({p[0], p[1], p[2]});
    case 4: return JoinTexts({p[0], p[1], p[2], p[3]});
    case 5: return JoinTexts({p[0], p[1], p[2], p[3], p[4]});
    case 6: return JoinTexts({p[0], p[1], p[2], p[3], p[4], p[5]});
    case 7: return JoinTexts({p[0], p[1], p[2], p[3], p[4], p[5], p[6]});
    case 8: return JoinTexts({p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]});
    case 9: return JoinTexts({p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8]});
    case 10: return JoinTexts({p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8], p[9]});
    default: std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzPlatform();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FakePlatform& fake = FuzzPlatform();
  std::uint8_t head[8] = {};
  std::memcpy(head, data, size < 8 ? size : 8);
  std::uint64_t bits;
  std::memcpy(&bits, head, sizeof bits);
  const std::int64_t value = static_cast<std::int64_t>(bits);
  std::size_t at = 8;
  auto next = [&](unsigned char& byte) {
    if (at >= size) return false;
    byte = data[at++];
    return true;
  };

  Guarded([&] {
    const long liveBefore = fake.liveAllocations;

    Text integer = CheckInteger(value);
    // The program formats 32-bit counts; their texts follow the same rules.
    ReleaseText(CheckInteger(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits))));

    unsigned char count = 0;
    next(count);
    count = static_cast<unsigned char>(count % 11);
    std::vector<std::unique_ptr<ExactText>> storage;
    std::vector<Text> pieces;
    std::string expected;
    for (unsigned i = 0; i < count; ++i) {
      unsigned char length = 0;
      if (!next(length)) {
        pieces.push_back(nullptr);
      } else if (length == kNullPiece) {
        pieces.push_back(nullptr);
      } else if (length == kConstantPiece) {
        unsigned char which = 0;
        next(which);
        pieces.push_back(kConstants[which % (sizeof kConstants / sizeof kConstants[0])]);
      } else if (length == kIntegerPiece) {
        pieces.push_back(integer);
      } else {
        std::size_t taken = std::min<std::size_t>(length, size - at);
        storage.push_back(std::make_unique<ExactText>(std::string(reinterpret_cast<const char*>(data + at), taken)));
        at += taken;
        pieces.push_back(storage.back()->Get());  // may hold a zero byte: the piece ends there
      }
      if (pieces.back() != nullptr) expected += pieces.back();
    }

    long countBefore = fake.allocationCount;
    Text joined = Join(pieces);
    FUZZ_CHECK(joined != nullptr, "JoinTexts of %u pieces gave null", count);
    std::string result = joined;
    FUZZ_CHECK(result == expected, "JoinTexts of %u pieces gave \"%s\", expected \"%s\"", count,
               Escaped(result).c_str(), Escaped(expected).c_str());
    FUZZ_CHECK(fake.allocationCount == countBefore + 1 && fake.lastAllocationSize == expected.size() + 1,
               "JoinTexts: %ld allocations, last of %zu bytes for %zu", fake.allocationCount - countBefore,
               fake.lastAllocationSize, expected.size() + 1);

    ReleaseText(joined);
    ReleaseText(integer);
    // Constant texts are never given back: releasing one changes nothing.
    for (Text piece : pieces) {
      for (const char* constant : kConstants) {
        if (piece == constant) ReleaseText(piece);
      }
    }
    ReleaseText(nullptr);
    FUZZ_CHECK(fake.liveAllocations == liveBefore, "%ld texts left unreleased", fake.liveAllocations - liveBefore);
  });
  return 0;
}
