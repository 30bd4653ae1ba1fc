#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "controls/control.h"
#include "shell/property_access.h"
#include "test_support.h"

namespace {

constexpr char kWindowMissing[] =  // 未载入欲访问窗口组件所在的窗口
    "\xCE\xB4\xD4\xD8\xC8\xEB\xD3\xFB\xB7\xC3\xCE\xCA\xB4\xB0\xBF\xDA\xD7\xE9\xBC\xFE\xCB\xF9\xD4\xDA\xB5\xC4\xB4\xB0"
    "\xBF\xDA";
constexpr char kNotLive[] = "\xD6\xB8\xB6\xA8\xB4\xB0\xBF\xDA\xC9\xD0\xCE\xB4\xD4\xD8\xC8\xEB";  // 指定窗口尚未载入

std::string BoxFor(const std::string& message) {
  return "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA" + message + "\r\n";
}

// Property indices as the handlers see them.
constexpr std::int32_t kLabelCaption = 8;
constexpr std::int32_t kLabelFont = 15;
constexpr std::int32_t kLabelTextColour = 16;
constexpr std::int32_t kLabelHorizontalAlign = 24;
constexpr std::int32_t kLabelWordWrap = 25;
constexpr std::int32_t kButtonCaption = 10;
constexpr std::int32_t kTimerPeriod = 8;
constexpr ControlNumber kLabel2 = 0x16010009;

PropertySlot Read(ControlNumber control, std::int32_t index, std::int32_t element = kWholeValue) {
  return ReadProperty(kMainWindowNumber, control, index, element);
}

void Write(ControlNumber control, std::int32_t index, PropertySlot value, std::int32_t element = kWholeValue) {
  WriteProperty(kMainWindowNumber, control, index, element, value);
}

// The bytes of a text read, which is released afterwards; "(null)" for null.
std::string TakeText(PropertySlot slot) {
  Text text = TextFromSlot(slot);
  std::string taken = text != nullptr ? text : "(null)";
  ReleaseText(text);
  return taken;
}

// A data block (4-byte length, then the bytes) as a property value.
DataBlock FontDescription(std::uint32_t size) {
  std::string bytes(size, '\x07');
  return DataBlock::FromBytes(bytes.data(), size);
}

class PropertyAccessTest : public ShellTest {
 protected:
  void SetUp() override { LoadMainWindow(); }
  const FakeWindow& WindowOf(ControlNumber control) { return fake_.Window(ControlWindow(control)); }
};

// The program's window on a system of its own, for cases that end the process.
struct FreshWindow {
  FreshWindow() : shell(fake, DiskSpaceQueryProgram()) {
    RegisterConstantTexts(shell.program().constantTexts, shell.program().constantTextsSize);
    shell.LoadDescription();
    LoadWindow(kMainWindowNumber);
  }
  FakePlatform fake;
  Shell shell;
};

TEST_F(PropertyAccessTest, EachTextReadIsANewCopyOfItsOwn) {
  long live = fake_.liveAllocations;
  Text first = TextFromSlot(Read(kMonitorButtonNumber, kButtonCaption));
  Text second = TextFromSlot(Read(kMonitorButtonNumber, kButtonCaption));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_STREQ(first, gbk::kStopMonitoring);
  EXPECT_STREQ(second, gbk::kStopMonitoring);
  EXPECT_EQ(fake_.liveAllocations, live + 2);

  // Changing a copy leaves the caption alone.
  const_cast<char*>(first)[0] = 'x';
  EXPECT_EQ(TakeText(Read(kMonitorButtonNumber, kButtonCaption)), gbk::kStopMonitoring);
  ReleaseText(first);
  ReleaseText(second);
  EXPECT_EQ(fake_.liveAllocations, live);
}

TEST_F(PropertyAccessTest, AWrittenTextStaysTheCallers) {
  Text mine = JoinTexts({"488281250KB", "\xA3\xA8", "465GB ", "\xA3\xA9"});
  Write(kTotalSpaceLabelNumber, kLabelCaption, SlotFromText(mine));
  ReleaseText(mine);  // the label keeps its own copy
  const std::string expected = "488281250KB\xA3\xA8"
                               "465GB \xA3\xA9";
  EXPECT_EQ(TakeText(Read(kTotalSpaceLabelNumber, kLabelCaption)), expected);
  EXPECT_EQ(WindowOf(kTotalSpaceLabelNumber).text, expected);

  char buffer[] = "abc";
  Write(kMonitorButtonNumber, kButtonCaption, SlotFromText(buffer));
  buffer[0] = 'X';
  EXPECT_EQ(TakeText(Read(kMonitorButtonNumber, kButtonCaption)), "abc");
}

TEST_F(PropertyAccessTest, AnEmptyTextReadsAsNullAndNullWritesTheEmptyText) {
  Write(kUsbIndicatorLabelNumber, kLabelCaption, SlotFromText(""));
  long allocations = fake_.allocationCount;
  Text read = TextFromSlot(Read(kUsbIndicatorLabelNumber, kLabelCaption));
  EXPECT_EQ(read, nullptr);
  EXPECT_EQ(fake_.allocationCount, allocations);
  EXPECT_EQ(CompareText(read, ""), 0);

  for (ControlNumber control : {kFreeSpaceLabelNumber, kMonitorButtonNumber}) {
    std::int32_t caption = control == kMonitorButtonNumber ? kButtonCaption : kLabelCaption;
    Write(control, caption, SlotFromText(nullptr));
    EXPECT_EQ(WindowOf(control).text, "");
    EXPECT_EQ(Read(control, caption), 0u);
  }
}

TEST_F(PropertyAccessTest, ValuesTravelByTheirDeclaredType) {
  // Integer: the low half only, both ways.
  Write(kFreeSpaceLabelNumber, kLabelHorizontalAlign, 0xABCD000000000002u);
  EXPECT_EQ(Read(kFreeSpaceLabelNumber, kLabelHorizontalAlign), 2u);
  Write(kFreeSpaceLabelNumber, kLabelTextColour, SlotFromInteger(-1));
  EXPECT_EQ(IntegerFromSlot(Read(kFreeSpaceLabelNumber, kLabelTextColour)), -1);
  Write(kTimerNumber, kTimerPeriod, 0x0000000500000000u | 250u);
  EXPECT_EQ(Read(kTimerNumber, kTimerPeriod), 250u);

  // Logical: any non-zero value is true, and true reads as exactly 1.
  EXPECT_EQ(Read(kFreeSpaceLabelNumber, kLabelWordWrap), 0u);
  Write(kFreeSpaceLabelNumber, kLabelWordWrap, 7);
  EXPECT_EQ(Read(kFreeSpaceLabelNumber, kLabelWordWrap), 1u);
  Write(kFreeSpaceLabelNumber, kLabelWordWrap, 0);
  EXPECT_EQ(Read(kFreeSpaceLabelNumber, kLabelWordWrap), 0u);

  // Data: a new copy of the block, length included.
  EXPECT_EQ(Read(kFreeSpaceLabelNumber, kLabelFont), 0u);
  DataBlock font = FontDescription(60);
  Write(kFreeSpaceLabelNumber, kLabelFont, SlotFromPointer(font.Pointer()));
  long live = fake_.liveAllocations;
  const char* copy = PointerFromSlot(Read(kFreeSpaceLabelNumber, kLabelFont));
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, font.Pointer());
  EXPECT_EQ(std::memcmp(copy, font.Pointer(), 4 + 60), 0);
  EXPECT_EQ(fake_.liveAllocations, live + 1);
  ReleaseText(copy);
  EXPECT_EQ(fake_.liveAllocations, live);
  Write(kFreeSpaceLabelNumber, kLabelFont, 0);
  EXPECT_EQ(Read(kFreeSpaceLabelNumber, kLabelFont), 0u);
}

TEST_F(PropertyAccessTest, CommonPropertiesReadFromTheLiveWindowOrTheStoredValues) {
  struct Case {
    ControlNumber control;
    std::int32_t left, top, width, height;
    std::int32_t storedHeight;
    PropertySlot visible;
  } cases[] = {
      {kMonitorButtonNumber, 72, 16, 88, 24, 24, 1},
      // The live drive selectors are 80 high with their open list; 20 and 24 are stored.
      {kUsbDriveBoxNumber, 56, 48, 104, 80, 20, 0},
      {kAllDrivesBoxNumber, 95, 107, 88, 80, 24, 1},
      {kLabel2, -1, 99, 88, 24, 24, 1},
      {kTimerNumber, 56, 136, 96, 80, 80, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.control);
    EXPECT_EQ(IntegerFromSlot(Read(c.control, 0)), c.left);
    EXPECT_EQ(IntegerFromSlot(Read(c.control, 1)), c.top);
    EXPECT_EQ(IntegerFromSlot(Read(c.control, 2)), c.width);
    EXPECT_EQ(IntegerFromSlot(Read(c.control, 3)), c.height);
    EXPECT_EQ(Read(c.control, 4), 0u);  // the empty tag
    EXPECT_EQ(Read(c.control, 5), c.visible);
    EXPECT_EQ(Read(c.control, 6), 0u);
    EXPECT_EQ(Read(c.control, 7), 0u);
  }
  fake_.DestroyWindow(fake_.TopLevelWindow());
  for (const Case& c : cases) {
    EXPECT_EQ(IntegerFromSlot(Read(c.control, 1)), c.top);
    EXPECT_EQ(IntegerFromSlot(Read(c.control, 3)), c.storedHeight) << std::hex << c.control;
  }
}

TEST_F(PropertyAccessTest, CommonPropertyWritesReachTheLiveWindow) {
  WindowHandle button = ControlWindow(kMonitorButtonNumber);
  Write(kMonitorButtonNumber, 0, SlotFromInteger(10));
  EXPECT_EQ(fake_.Window(button).rect, (Rect{10, 16, 98, 40}));
  Write(kMonitorButtonNumber, 1, SlotFromInteger(-4));
  Write(kMonitorButtonNumber, 2, SlotFromInteger(50));
  Write(kMonitorButtonNumber, 3, SlotFromInteger(30));
  EXPECT_EQ(fake_.Window(button).rect, (Rect{10, -4, 60, 26}));
  EXPECT_EQ(IntegerFromSlot(Read(kMonitorButtonNumber, 1)), -4);

  Write(kMonitorButtonNumber, 5, 0);
  EXPECT_FALSE(fake_.Window(button).visible);
  EXPECT_EQ(Read(kMonitorButtonNumber, 5), 0u);
  Write(kMonitorButtonNumber, 5, 2);
  EXPECT_TRUE(fake_.Window(button).visible);
  EXPECT_EQ(Read(kMonitorButtonNumber, 5), 1u);

  Write(kMonitorButtonNumber, 6, 1);
  EXPECT_FALSE(fake_.Window(button).enabled);
  EXPECT_EQ(Read(kMonitorButtonNumber, 6), 1u);
  Write(kMonitorButtonNumber, 6, 0);
  EXPECT_TRUE(fake_.Window(button).enabled);

  Write(kMonitorButtonNumber, 4, SlotFromText("\xB1\xEA\xC7\xA9"));
  EXPECT_EQ(TakeText(Read(kMonitorButtonNumber, 4)), "\xB1\xEA\xC7\xA9");
  Write(kMonitorButtonNumber, 4, SlotFromText(nullptr));
  EXPECT_EQ(Read(kMonitorButtonNumber, 4), 0u);

  // A timer has no visible form, whatever its visible property says.
  Write(kTimerNumber, 5, 1);
  EXPECT_FALSE(fake_.Window(ControlWindow(kTimerNumber)).visible);

  // Once the window is gone, writes keep to the stored values.
  fake_.DestroyWindow(fake_.TopLevelWindow());
  Write(kMonitorButtonNumber, 0, SlotFromInteger(3));
  EXPECT_EQ(IntegerFromSlot(Read(kMonitorButtonNumber, 0)), 3);
  EXPECT_EQ(IntegerFromSlot(Read(kMonitorButtonNumber, 2)), 50);
  EXPECT_TRUE(fake_.errorBoxes.empty());
}

TEST(PropertyAccessFailureTest, AMissingWindowOrAGoneControlIsFatal) {
  struct Case {
    std::function<void()> access;
    bool destroyFirst;
    const char* message;
  } cases[] = {
      {[] { ReadProperty(0x52010002, kMonitorButtonNumber, kButtonCaption, kWholeValue); }, false, kWindowMissing},
      {[] { WriteProperty(0x52010002, kMonitorButtonNumber, 0, kWholeValue, 0); }, false, kWindowMissing},
      // A control number the window lacks is reported like a missing window.
      {[] { ReadProperty(kMainWindowNumber, 0x16010099, 0, kWholeValue); }, false, kWindowMissing},
      {[] { WriteProperty(kMainWindowNumber, 0, kLabelCaption, kWholeValue, 0); }, false, kWindowMissing},
      {[] { ReadProperty(kMainWindowNumber, kMonitorButtonNumber, kButtonCaption, kWholeValue); }, true, kNotLive},
      {[] { WriteProperty(kMainWindowNumber, kTimerNumber, kTimerPeriod, kWholeValue, 0); }, true, kNotLive},
      {[] { ReadProperty(kMainWindowNumber, kLabel2, 99, 3); }, true, kNotLive},
  };
  for (const Case& c : cases) {
    FreshWindow fresh;
    if (c.destroyFirst) fresh.fake.DestroyWindow(fresh.fake.TopLevelWindow());
    EXPECT_EQ(ExitCodeOf(c.access), 0xFFFFFFFFu);
    ASSERT_EQ(fresh.fake.errorBoxes.size(), 1u);
    EXPECT_EQ(fresh.fake.errorBoxes[0].text, BoxFor(c.message));
  }
}

TEST_F(PropertyAccessTest, AddressesOutsideTheKindReadAsNothingAndIgnoreWrites) {
  struct Case {
    ControlNumber control;
    std::int32_t index;
    std::int32_t element;
  } cases[] = {
      {kFreeSpaceLabelNumber, kLabelCaption, 0},  {kMonitorButtonNumber, kButtonCaption, 5},
      {kMonitorButtonNumber, 0, 0},               {kTimerNumber, kTimerPeriod, 1},
      {kFreeSpaceLabelNumber, 8 + 21, -1},        {kMonitorButtonNumber, 8 + 6, -1},
      {kTimerNumber, 9, -1},                      {kAllDrivesBoxNumber, 8 + 5, -1},
      {kMonitorButtonNumber, -1, -1},             {kMonitorButtonNumber, -2147483647 - 1, -1},
  };
  const ControlNumber watched[] = {kFreeSpaceLabelNumber, kMonitorButtonNumber, kTimerNumber, kAllDrivesBoxNumber};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.control << std::dec << " " << c.index << " " << c.element);
    long allocations = fake_.allocationCount;
    EXPECT_EQ(Read(c.control, c.index, c.element), 0u);
    EXPECT_EQ(fake_.allocationCount, allocations);

    std::vector<FakeWindow> before;
    for (ControlNumber control : watched) before.push_back(WindowOf(control));
    Write(c.control, c.index, SlotFromText("?"), c.element);
    Write(c.control, c.index, 77, c.element);
    for (std::size_t i = 0; i < before.size(); ++i) {
      const FakeWindow& after = WindowOf(watched[i]);
      EXPECT_EQ(after.text, before[i].text);
      EXPECT_EQ(after.rect, before[i].rect);
      EXPECT_EQ(after.visible, before[i].visible);
      EXPECT_EQ(after.timers, before[i].timers);
      EXPECT_EQ(after.invalidations, before[i].invalidations);
    }
  }
  EXPECT_EQ(TakeText(Read(kFreeSpaceLabelNumber, kLabelCaption)), gbk::kDetecting);
  EXPECT_EQ(TakeText(Read(kMonitorButtonNumber, kButtonCaption)), gbk::kStopMonitoring);
  EXPECT_EQ(Read(kTimerNumber, kTimerPeriod), 1000u);
  EXPECT_EQ(Read(kMonitorButtonNumber, 0), 72u);
  EXPECT_TRUE(fake_.errorBoxes.empty());
}

TEST(PropertyAllocationTest, AFailedCopyNamesTheBytesItAskedFor) {
  struct Case {
    std::function<void()> read;
    const char* size;
  } cases[] = {
      // "停止监控" is 8 bytes and its terminator.
      {[] { ReadProperty(kMainWindowNumber, kMonitorButtonNumber, kButtonCaption, kWholeValue); }, "9"},
      // A 60-byte font description with its 4-byte length.
      {[] { ReadProperty(kMainWindowNumber, kFreeSpaceLabelNumber, kLabelFont, kWholeValue); }, "64"},
  };
  for (const Case& c : cases) {
    FreshWindow fresh;
    DataBlock font = FontDescription(60);
    WriteProperty(kMainWindowNumber, kFreeSpaceLabelNumber, kLabelFont, kWholeValue, SlotFromPointer(font.Pointer()));
    fresh.fake.failAllocationNumber = fresh.fake.allocationCount + 1;
    EXPECT_EQ(ExitCodeOf(c.read), 0xFFFFFFFFu);
    ASSERT_EQ(fresh.fake.errorBoxes.size(), 1u);
    // 分配 N 字节内存失败!
    EXPECT_EQ(fresh.fake.errorBoxes[0].text, BoxFor(std::string("\xB7\xD6\xC5\xE4 ") + c.size +
                                                    " \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!"));
  }
}

}  // namespace
