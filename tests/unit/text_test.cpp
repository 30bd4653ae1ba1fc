#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "monitor/constant_texts.h"
#include "monitor/text.h"
#include "test_support.h"

namespace {

class TextTest : public ShellTest {
 protected:
  TextTest() { RegisterConstantTexts(&kConstantTexts, sizeof kConstantTexts); }

  // The text an operation returned, released afterwards.
  std::string Take(Text text) {
    EXPECT_NE(text, nullptr);
    std::string taken = text != nullptr ? text : "";
    ReleaseText(text);
    return taken;
  }
};

TEST_F(TextTest, CompareTextIsBytewiseUnsignedWithoutCaseFolding) {
  struct Case {
    Text a;
    Text b;
    int expected;
  } cases[] = {
      {nullptr, nullptr, 0},
      {nullptr, "", 0},
      {"", nullptr, 0},
      {nullptr, gbk::kStopMonitoring, -1},
      {gbk::kStopMonitoring, nullptr, 1},
      {gbk::kStopMonitoring, gbk::kStopMonitoring, 0},
      {gbk::kStopMonitoring, gbk::kStartMonitoring, 1},
      {"a", "B", 1},
      {"\x80", "a", 1},
      {"ab", "abc", -1},
      {"abc", "ab", 1},
      {"", "a", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareText(c.a, c.b), c.expected) << (c.a ? c.a : "(null)") << " vs " << (c.b ? c.b : "(null)");
  }
}

TEST_F(TextTest, TextLengthCountsBytes) {
  EXPECT_EQ(TextLength(nullptr), 0);
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength(gbk::kStopMonitoring), 8);
}

TEST_F(TextTest, JoinTextsMakesOneAllocationOfTheFinalSize) {
  long before = fake_.allocationCount;
  Text joined = JoinTexts({"488281250", kConstantTexts.kilobytes, "465", kConstantTexts.totalClosing});
  EXPECT_EQ(fake_.allocationCount - before, 1);
  EXPECT_EQ(fake_.lastAllocationSize, 22u);
  EXPECT_EQ(Take(joined), std::string("488281250KB") + gbk::kFullWidthOpen + "465GB " + gbk::kFullWidthClose);
}

TEST_F(TextTest, JoinTextsSkipsNullPiecesAndNeverReturnsNull) {
  EXPECT_EQ(Take(JoinTexts({nullptr})), "");
  std::string joined = Take(JoinTexts({nullptr, kConstantTexts.kilobytes, nullptr, kConstantTexts.freeClosing}));
  EXPECT_EQ(joined, std::string("KB") + gbk::kFullWidthOpen + "GB" + gbk::kFullWidthClose);
  EXPECT_EQ(joined.size(), 8u);
  EXPECT_EQ(Take(JoinTexts({"a", "", "b", nullptr, "c", "d", "e", "f", "g", "h", "i"})), "abcdefghi");
}

TEST_F(TextTest, IntToTextWritesPlainDecimal) {
  struct Case {
    std::int64_t value;
    const char* expected;
  } cases[] = {
      {0, "0"},
      {-1, "-1"},
      {2147483647, "2147483647"},
      {-2147483647 - 1, "-2147483648"},
      {2929687500, "2929687500"},
      {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
      {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
  };
  for (const Case& c : cases) EXPECT_EQ(Take(IntToText(c.value)), c.expected);
}

TEST_F(TextTest, RealToTextFollowsThirteenSignificantDigits) {
  struct Case {
    double value;
    const char* expected;
  } cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {1, "1"},
      {931, "931"},
      {465, "465"},
      {-1302, "-1302"},
      {2047, "2047"},
      {-2048, "-2048"},
      {0.5, "0.5"},
      {1.0 / 3, "0.3333333333333"},
      {2.0 / 3, "0.6666666666667"},
      {0.0001, "0.0001"},
      {0.00001, "1e-005"},
      {1234567890123.0, "1234567890123"},
      {1234567890122.5, "1234567890123"},  // a tie goes away from zero
      {-1234567890122.5, "-1234567890123"},
      {9999999999999.5, "1e+013"},
      {1e13, "1e+013"},
      {12345678901234.0, "1.234567890123e+013"},
      {1e15, "1e+015"},
      {1e308, "1e+308"},
      {123.456, "123.456"},
      {-0.000123, "-0.000123"},
      {std::numeric_limits<double>::denorm_min(), "4.940656458412e-324"},
      {std::numeric_limits<double>::max(), "1.797693134862e+308"},
      // Exactly 1.2017682487684999692...: rounding to 17 digits first makes the
      // 14th digit a 5, which then rounds the 13th digit up.
      {1.2017682487685, "1.201768248769"},
  };
  for (const Case& c : cases) EXPECT_EQ(Take(RealToText(c.value)), c.expected) << c.value;
}

TEST_F(TextTest, RealToTextAllocatesTheExactLength) {
  Text text = RealToText(-1302);
  EXPECT_EQ(fake_.lastAllocationSize, 6u);
  ReleaseText(text);
}

TEST_F(TextTest, DivideWholeTruncatesAfterEveryDivision) {
  struct Case {
    double value;
    double expected;
    bool negativeZero;
  } cases[] = {
      {0, 0, false},
      {1048575, 0, false},
      {1048576, 1, false},
      {488281250, 465, false},
      {2147483647, 2047, false},
      {-5, 0, true},
      {-1048576, -1, false},
      {-1048577, -1, false},
      {-1365279796, -1302, false},
      {-2147483648.0, -2048, false},
  };
  for (const Case& c : cases) {
    double result = DivideWhole(c.value, {1024, 1024});
    EXPECT_EQ(result, c.expected) << c.value;
    EXPECT_EQ(std::signbit(result), c.negativeZero || c.expected < 0) << c.value;
  }
  // trunc(trunc(3000 / 7) / 2) = trunc(428 / 2) = 214, not trunc(3000 / 14) = 214.28...
  EXPECT_EQ(DivideWhole(3001, {7, 2}), 214);
  EXPECT_EQ(DivideWhole(2.5, {}), 2.5);
}

TEST_F(TextTest, DivideWholeByZeroOrNotANumberIsFatal) {
  for (double divisor : {0.0, -0.0, std::nan("")}) {
    fake_.errorBoxes.clear();
    EXPECT_EQ(ExitCodeOf([&] { DivideWhole(1, {1024, divisor}); }), 0xFFFFFFFFu);
    ASSERT_EQ(fake_.errorBoxes.size(), 1u);
    EXPECT_EQ(fake_.errorBoxes[0].text,
              std::string("\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA"
                          "\xB2\xBB\xC4\xDC\xD5\xFB\xB3\xFD\xD3\xDA\xC1\xE3\r\n"));
  }
}

TEST_F(TextTest, FailedAllocationNamesItsSize) {
  fake_.failAllocationNumber = fake_.allocationCount + 1;
  EXPECT_EQ(ExitCodeOf([] { AllocateText(22); }), 0xFFFFFFFFu);
  ASSERT_EQ(fake_.errorBoxes.size(), 1u);
  // ...错误信息：分配 22 字节内存失败!
  EXPECT_NE(fake_.errorBoxes[0].text.find("\xB7\xD6\xC5\xE4 22 \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!\r\n"),
            std::string::npos);
}

TEST_F(TextTest, ReleasingNullOrAConstantTextDoesNothing) {
  long live = fake_.liveAllocations;
  ReleaseText(nullptr);
  ReleaseText(kConstantTexts.empty);
  ReleaseText(kConstantTexts.stopMonitoring);
  ReleaseText(kConstantTexts.freeClosing + 2);  // any pointer into the block
  EXPECT_EQ(fake_.liveAllocations, live);
  Text owned = IntToText(5);
  EXPECT_EQ(fake_.liveAllocations, live + 1);
  ReleaseText(owned);
  EXPECT_EQ(fake_.liveAllocations, live);
}

}  // namespace
