// CompareText and TextLength against a plain model: a text is its bytes up
// to the first zero byte, null is the empty text, and texts order as
// sequences of unsigned bytes where a proper prefix comes first.
//
// Input: one byte giving the length of the first text, its bytes, then the
// second text's bytes. Zero bytes inside are kept, so the operations must
// stop at the first one; every text sits in an exactly sized heap block.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "monitor/text.h"

namespace {

// The bytes a Text stands for: up to its terminator, nothing for null.
std::string Visible(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

int ModelCompare(const std::string& a, const std::string& b) {
  std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    unsigned left = static_cast<unsigned char>(a[i]);
    unsigned right = static_cast<unsigned char>(b[i]);
    if (left != right) return left < right ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void CheckPair(Text a, const std::string& modelA, Text b, const std::string& modelB) {
  int expected = ModelCompare(modelA, modelB);
  int result = CompareText(a, b);
  FUZZ_CHECK(result == expected, "CompareText(%s\"%s\", %s\"%s\") gave %d, expected %d", a ? "" : "null ",
             Escaped(modelA).c_str(), b ? "" : "null ", Escaped(modelB).c_str(), result, expected);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzPlatform();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FakePlatform& fake = FuzzPlatform();
  std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t split = input.empty() ? 0 : std::min<std::size_t>(static_cast<unsigned char>(input[0]), size - 1);
  std::string first = input.empty() ? std::string() : input.substr(1, split);
  std::string second = input.empty() ? std::string() : input.substr(1 + split);
  const std::string a = Visible(first);
  const std::string b = Visible(second);

  Guarded([&] {
    long liveBefore = fake.liveAllocations;
    long countBefore = fake.allocationCount;
    ExactText textA(first);
    ExactText textB(second);
    ExactText copyA(first);  // equal bytes at another address

    CheckPair(textA.Get(), a, textB.Get(), b);
    CheckPair(textB.Get(), b, textA.Get(), a);
    CheckPair(textA.Get(), a, textA.Get(), a);
    CheckPair(textA.Get(), a, copyA.Get(), a);
    CheckPair(nullptr, "", textB.Get(), b);
    CheckPair(textA.Get(), a, nullptr, "");
    CheckPair(nullptr, "", textA.Get(), a);
    CheckPair(textB.Get(), b, nullptr, "");
    CheckPair(nullptr, "", nullptr, "");

    FUZZ_CHECK(TextLength(textA.Get()) == static_cast<std::int32_t>(a.size()), "TextLength(\"%s\") gave %d",
               Escaped(a).c_str(), TextLength(textA.Get()));
    FUZZ_CHECK(TextLength(textB.Get()) == static_cast<std::int32_t>(b.size()), "TextLength(\"%s\") gave %d",
               Escaped(b).c_str(), TextLength(textB.Get()));
    FUZZ_CHECK(TextLength(nullptr) == 0, "TextLength(null) gave %d", TextLength(nullptr));

    // Comparing and measuring take no storage.
    FUZZ_CHECK(fake.allocationCount == countBefore && fake.liveAllocations == liveBefore,
               "%ld allocations while comparing", fake.allocationCount - countBefore);
  });
  return 0;
}
