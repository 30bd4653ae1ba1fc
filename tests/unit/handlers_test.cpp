#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "monitor/handlers.h"
#include "shell/property_access.h"
#include "test_support.h"

namespace {

constexpr std::int32_t kButtonCaption = 10;
constexpr std::int32_t kCurrentDrive = 8;
constexpr std::int32_t kPeriod = 8;
constexpr std::uint64_t kKiB = 1024;
constexpr char kQueryFailed[] = "0KB(0GB)";

std::string TotalReadOut(std::uint64_t kibibytes, std::uint64_t gibibytes) {
  return std::to_string(kibibytes) + "KB\xA3\xA8" + std::to_string(gibibytes) + "GB \xA3\xA9";  // KB（ GB ）
}
std::string FreeReadOut(std::uint64_t kibibytes, std::uint64_t gibibytes) {
  return std::to_string(kibibytes) + "KB\xA3\xA8" + std::to_string(gibibytes) + "GB\xA3\xA9";  // KB（ GB）
}

FakeDrive DiskOf(std::uint64_t totalKiB, std::uint64_t freeKiB) {
  FakeDrive drive;
  drive.bytes.total = totalKiB * kKiB;
  drive.bytes.freeToCaller = freeKiB * kKiB;
  drive.bytes.totalFree = drive.bytes.total;  // never shown
  return drive;
}

FakeDrive RemovableDrive(bool hasMedium) {
  FakeDrive drive = DiskOf(2048, 1024);
  drive.kind = win32::kDriveRemovable;
  drive.hasMedium = hasMedium;
  return drive;
}

class MonitorTest : public ShellTest {
 protected:
  void SetUp() override { fake_.AddDrive('C', DiskOf(488281250, 16777216)); }

  // Builds the window and keeps the read-out labels' windows, which outlive a fatal error.
  void Load() {
    LoadMainWindow();
    indicator_ = ControlWindow(kUsbIndicatorLabelNumber);
    total_ = ControlWindow(kTotalSpaceLabelNumber);
    free_ = ControlWindow(kFreeSpaceLabelNumber);
  }
  void Tick() { fake_.FireTimers(); }
  void Click() { fake_.ClickButton(ControlWindow(kMonitorButtonNumber)); }

  std::string Indicator() { return fake_.Window(indicator_).text; }
  std::string Total() { return fake_.Window(total_).text; }
  std::string Free() { return fake_.Window(free_).text; }

  std::string ButtonCaption() {
    Text caption = TextFromSlot(ReadProperty(kMainWindowNumber, kMonitorButtonNumber, kButtonCaption, kWholeValue));
    std::string read = caption != nullptr ? caption : "";
    ReleaseText(caption);
    return read;
  }
  std::int32_t Period() {
    return IntegerFromSlot(ReadProperty(kMainWindowNumber, kTimerNumber, kPeriod, kWholeValue));
  }
  bool TimerRunning() { return !fake_.Window(ControlWindow(kTimerNumber)).timers.empty(); }

  WindowHandle indicator_ = 0;
  WindowHandle total_ = 0;
  WindowHandle free_ = 0;
};

TEST_F(MonitorTest, OneTickWritesIndicatorTotalAndFreeInThatOrder) {
  Load();
  fake_.windowTexts.clear();
  Tick();
  using Write = std::pair<WindowHandle, std::string>;
  EXPECT_EQ(fake_.windowTexts,
            (std::vector<Write>{{indicator_, gbk::kNoUsbInserted},
                                {total_, "488281250KB\xA3\xA8" "465GB \xA3\xA9"},
                                {free_, "16777216KB\xA3\xA8" "16GB\xA3\xA9"}}));
}

TEST_F(MonitorTest, ReadOutsShowTheTrueKibibytesAndWholeGibibytes) {
  Load();
  struct Case {
    std::uint64_t kibibytes;
    std::uint64_t gibibytes;
  } cases[] = {
      {0, 0},
      {488281250, 465},
      {1048575, 0},
      {1048576, 1},
      {16777216, 16},
      {2147483647, 2047},
      {2147483648, 2048},
      {2929687500, 2793},  // 3 000 000 000 000 bytes
      {4294967295, 4095},
      {4294967296, 4096},
      {5368709120, 5120},
      {7812500000, 7450},  // 8 000 000 000 000 bytes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kibibytes);
    fake_.drives['C'] = DiskOf(c.kibibytes, c.kibibytes);
    Tick();
    EXPECT_EQ(Total(), TotalReadOut(c.kibibytes, c.gibibytes));
    EXPECT_EQ(Free(), FreeReadOut(c.kibibytes, c.gibibytes));
  }
}

TEST_F(MonitorTest, AFailedQueryShowsZeroForItsReadOutOnly) {
  Load();
  Tick();
  struct Case {
    int failingQuery;  // 1: the total, 2: the free space
    std::string total;
    std::string free;
  } cases[] = {
      {1, kQueryFailed, FreeReadOut(1048576, 1)},
      {2, TotalReadOut(16777216, 16), kQueryFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failingQuery);
    fake_.drives['C'] = DiskOf(16777216, 1048576);
    fake_.failDiskQueryNumber = fake_.diskQueries + c.failingQuery;
    Tick();
    EXPECT_EQ(Total(), c.total);
    EXPECT_EQ(Free(), c.free);
    fake_.drives['C'] = DiskOf(488281250, 488281250);
    Tick();  // the next tick shows both again
    EXPECT_EQ(Total(), TotalReadOut(488281250, 465));
    EXPECT_EQ(Free(), FreeReadOut(488281250, 465));
  }
}

TEST_F(MonitorTest, ADriveThatFailsBetweenTicksShowsZeroUntilItAnswersAgain) {
  Load();
  Tick();
  fake_.drives['C'].hasMedium = false;
  Tick();
  EXPECT_EQ(Total(), kQueryFailed);
  EXPECT_EQ(Free(), kQueryFailed);
  fake_.drives['C'] = DiskOf(1048576, 1048575);
  Tick();
  EXPECT_EQ(Total(), TotalReadOut(1048576, 1));
  EXPECT_EQ(Free(), FreeReadOut(1048575, 0));
}

TEST_F(MonitorTest, AnotherChosenDriveShowsAtTheNextTick) {
  fake_.AddDrive('D', DiskOf(4294967296, 2929687500));
  Load();
  Tick();
  WriteProperty(kMainWindowNumber, kAllDrivesBoxNumber, kCurrentDrive, kWholeValue, SlotFromText("d"));
  EXPECT_EQ(Total(), TotalReadOut(488281250, 465));
  Tick();
  EXPECT_EQ(Total(), TotalReadOut(4294967296, 4096));
  EXPECT_EQ(Free(), FreeReadOut(2929687500, 2793));
}

TEST_F(MonitorTest, IndicatorFollowsRemovableMediaAtEachTick) {
  FakeDrive optical = DiskOf(700, 0);
  optical.kind = win32::kDriveCdrom;
  fake_.AddDrive('D', DiskOf(100, 50));
  fake_.AddDrive('F', optical);
  Load();
  struct Step {
    const char* what;
    void (*change)(FakePlatform&);
    const char* indicator;
  } steps[] = {
      {"fixed and optical drives only", [](FakePlatform&) {}, gbk::kNoUsbInserted},
      {"a removable drive without a medium",
       [](FakePlatform& fake) { fake.AddDrive('E', RemovableDrive(false)); }, gbk::kNoUsbInserted},
      {"a medium in it", [](FakePlatform& fake) { fake.drives['E'].hasMedium = true; }, gbk::kUsbInserted},
      {"a second removable drive, the first emptied",
       [](FakePlatform& fake) {
         fake.AddDrive('G', RemovableDrive(true));
         fake.drives['E'].hasMedium = false;
       },
       gbk::kUsbInserted},
      {"both empty", [](FakePlatform& fake) { fake.drives['G'].hasMedium = false; }, gbk::kNoUsbInserted},
      {"both removed",
       [](FakePlatform& fake) {
         fake.drives.erase('E');
         fake.drives.erase('G');
       },
       gbk::kNoUsbInserted},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.change(fake_);
    fake_.Window(indicator_).text.clear();
    Tick();
    EXPECT_EQ(Indicator(), step.indicator);
  }
  // The hidden removable selector still lists what was there at creation.
  EXPECT_TRUE(fake_.Window(ControlWindow(kUsbDriveBoxNumber)).items.empty());
}

TEST_F(MonitorTest, ATickQueriesTheChosenDriveOncePerReadOutAndRemovableDrivesUntilOneHoldsAMedium) {
  FakeDrive optical = DiskOf(700, 0);
  optical.kind = win32::kDriveCdrom;
  fake_.AddDrive('D', DiskOf(100, 50));
  fake_.AddDrive('E', RemovableDrive(false));
  fake_.AddDrive('F', optical);
  fake_.AddDrive('G', RemovableDrive(true));
  Load();
  for (int tick = 0; tick < 3; ++tick) {
    int queries = fake_.diskQueries;
    Tick();
    EXPECT_EQ(fake_.diskQueries - queries, 2 + 2);
  }
  fake_.drives['C'].hasMedium = false;  // failing queries are not retried
  int queries = fake_.diskQueries;
  Tick();
  EXPECT_EQ(fake_.diskQueries - queries, 2 + 2);
}

TEST_F(MonitorTest, ToggleStopsAndRestartsTheTimerAndLeavesTheReadOutsAlone) {
  Load();
  Tick();
  const std::string total = Total();
  const std::string free = Free();
  int queries = fake_.diskQueries;

  Click();
  EXPECT_EQ(ButtonCaption(), gbk::kStartMonitoring);
  EXPECT_EQ(Period(), 0);
  EXPECT_FALSE(TimerRunning());
  fake_.drives['C'] = DiskOf(1048576, 1048576);
  Tick();
  EXPECT_EQ(Total(), total);
  EXPECT_EQ(Free(), free);

  Click();
  EXPECT_EQ(ButtonCaption(), gbk::kStopMonitoring);
  EXPECT_EQ(Period(), 1000);
  EXPECT_TRUE(TimerRunning());
  EXPECT_EQ(Total(), total);  // no refresh until the next tick
  EXPECT_EQ(fake_.diskQueries, queries);

  Tick();
  EXPECT_EQ(Total(), TotalReadOut(1048576, 1));
}

TEST_F(MonitorTest, ToggleFromAnyOtherCaptionStartsMonitoring) {
  Load();
  Text captions[] = {"abc", nullptr, "\xCD\xA3\xD6\xB9", "\xCD\xA3\xD6\xB9\xBC\xE0\xBF\xD8 ", gbk::kStartMonitoring};
  for (Text caption : captions) {
    SCOPED_TRACE(caption != nullptr ? caption : "(null)");
    WriteProperty(kMainWindowNumber, kMonitorButtonNumber, kButtonCaption, kWholeValue, SlotFromText(caption));
    std::size_t mark = fake_.calls.size();
    Click();
    EXPECT_EQ(ButtonCaption(), gbk::kStopMonitoring);
    EXPECT_EQ(Period(), 1000);
    EXPECT_TRUE(TimerRunning());
    EXPECT_EQ(fake_.calls.size(), mark);  // already running at 1000: the timer keeps its phase
  }
}

TEST_F(MonitorTest, TicksReleaseEveryText) {
  fake_.AddDrive('E', RemovableDrive(true));
  Load();
  Tick();
  long live = fake_.liveAllocations;
  for (int tick = 0; tick < 100000; ++tick) {
    fake_.drives['C'].hasMedium = tick % 3 != 0;  // failed read-outs in between
    fake_.drives['E'].hasMedium = tick % 2 != 0;
    fake_.windowTexts.clear();
    Tick();
  }
  EXPECT_EQ(fake_.liveAllocations, live);
  EXPECT_TRUE(fake_.errorBoxes.empty());
}

struct AllocationFailureCase {
  const char* name;
  long failingAllocation;  // counted from the start of the tick
  std::size_t size;
  int queries;  // disk queries made before it
  bool totalWritten;
};

// By name: printed byte by byte, the padding after the flag would be read uninitialised.
void PrintTo(const AllocationFailureCase& c, std::ostream* out) { *out << c.name; }

class TickAllocationFailureTest : public MonitorTest, public testing::WithParamInterface<AllocationFailureCase> {};

TEST_P(TickAllocationFailureTest, EndsTheProcessWithTheSizeInTheBox) {
  const AllocationFailureCase& c = GetParam();
  Load();
  const std::string detecting = Total();
  fake_.failAllocationNumber = fake_.allocationCount + c.failingAllocation;
  int queries = fake_.diskQueries;

  EXPECT_EQ(ExitCodeOf([this] { Tick(); }), 0xFFFFFFFFu);
  ASSERT_EQ(fake_.errorBoxes.size(), 1u);
  EXPECT_EQ(fake_.errorBoxes[0].caption, "\xB4\xED\xCE\xF3");  // 错误
  // 运行时出错!  错误信息：分配 N 字节内存失败!
  EXPECT_EQ(fake_.errorBoxes[0].text, "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n"
                                      "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA\xB7\xD6\xC5\xE4 " +
                                          std::to_string(c.size) +
                                          " \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!\r\n");
  // The tick stops where it failed.
  EXPECT_EQ(Indicator(), gbk::kNoUsbInserted);
  EXPECT_EQ(Total(), c.totalWritten ? TotalReadOut(488281250, 465) : detecting);
  EXPECT_EQ(Free(), detecting);
  EXPECT_EQ(fake_.diskQueries - queries, c.queries);
  // No handler runs any more, not even for a timer message that still arrives.
  EXPECT_FALSE(RaiseEvent(kMainWindowNumber, kTimerNumber, 0));
}

INSTANTIATE_TEST_SUITE_P(
    MonitorTick, TickAllocationFailureTest,
    testing::Values(AllocationFailureCase{"DriveText", 1, 2, 0, false},      // the copy of "C"
                    AllocationFailureCase{"TotalReadOut", 4, 22, 1, false},  // 488281250KB（465GB ）
                    AllocationFailureCase{"FreeKibibytes", 5, 9, 2, true}),  // 16777216
    [](const testing::TestParamInfo<AllocationFailureCase>& info) { return std::string(info.param.name); });

}  // namespace
