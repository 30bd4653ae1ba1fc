#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "controls/timer.h"
#include "shell/property_access.h"
#include "test_support.h"

namespace {

constexpr std::int32_t kPeriod = 8;

using TimerMap = std::map<unsigned, unsigned>;  // platform timer id -> milliseconds

class TimerTest : public ShellTest {
 protected:
  void SetUp() override {
    FakeDrive drive;
    drive.bytes.total = drive.bytes.freeToCaller = 1024 * 1024 * 1024;
    fake_.AddDrive('C', drive);
  }

  std::int32_t ReadPeriod() {
    return IntegerFromSlot(ReadProperty(kMainWindowNumber, kTimerNumber, kPeriod, kWholeValue));
  }
  void WritePeriod(std::int32_t period) {
    WriteProperty(kMainWindowNumber, kTimerNumber, kPeriod, kWholeValue, SlotFromInteger(period));
  }
  TimerMap Running() { return fake_.Window(ControlWindow(kTimerNumber)).timers; }
  Control& TimerControl() {
    return *shell_.FindControlRecord(*shell_.FindWindowRecord(kMainWindowNumber), kTimerNumber)->component;
  }

  // The timer calls made since `mark` (an index into fake_.calls).
  std::vector<std::string> TimerCallsSince(std::size_t mark) const {
    std::vector<std::string> made;
    for (std::size_t i = mark; i < fake_.calls.size(); ++i) {
      const std::string& call = fake_.calls[i];
      if (call.rfind("StartTimer", 0) == 0 || call.rfind("StopTimer", 0) == 0) made.push_back(call);
    }
    return made;
  }
};

TEST_F(TimerTest, CountsFromCreationAtOneSecondWithoutATick) {
  LoadMainWindow();
  EXPECT_EQ(Running(), (TimerMap{{1000, 1000}}));
  EXPECT_EQ(TimerCallsSince(0), std::vector<std::string>{"StartTimer 1000"});
  EXPECT_EQ(ReadPeriod(), 1000);
  EXPECT_EQ(fake_.diskQueries, 0);  // the first tick waits for the first period
  EXPECT_FALSE(fake_.Window(ControlWindow(kTimerNumber)).visible);
}

TEST_F(TimerTest, PeriodWritesRestartOnlyOnChange) {
  LoadMainWindow();
  struct Step {
    std::int32_t written;
    std::vector<std::string> calls;
    std::int32_t reads;
    TimerMap running;
  } steps[] = {
      {1000, {}, 1000, {{1000, 1000}}},  // the same value keeps the phase
      {500, {"StopTimer", "StartTimer 500"}, 500, {{1000, 500}}},
      {-5, {"StopTimer"}, 0, {}},
      {0, {}, 0, {}},
      {-1, {}, 0, {}},
      {1000, {"StartTimer 1000"}, 1000, {{1000, 1000}}},
      {0, {"StopTimer"}, 0, {}},
      {2147483647, {"StartTimer 2147483647"}, 2147483647, {{1000, 2147483647u}}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.written);
    std::size_t mark = fake_.calls.size();
    WritePeriod(step.written);
    EXPECT_EQ(TimerCallsSince(mark), step.calls);
    EXPECT_EQ(ReadPeriod(), step.reads);
    EXPECT_EQ(Running(), step.running);
  }
}

TEST_F(TimerTest, EveryTimerMessageRunsTheTickEvenWhenStopped) {
  LoadMainWindow();
  WindowHandle total = ControlWindow(kTotalSpaceLabelNumber);
  for (std::uint64_t gibibytes : {1u, 2u, 3u}) {
    fake_.drives['C'].bytes.total = gibibytes << 30;
    int queries = fake_.diskQueries;
    fake_.FireTimers();
    EXPECT_EQ(fake_.diskQueries - queries, 2);
    EXPECT_EQ(fake_.Window(total).text,
              std::to_string(gibibytes << 20) + "KB\xA3\xA8" + std::to_string(gibibytes) + "GB \xA3\xA9");
  }

  // A message already on its way when the timer stops still raises the event.
  WritePeriod(0);
  int queries = fake_.diskQueries;
  fake_.FireTimers();
  EXPECT_EQ(fake_.diskQueries, queries);
  TimerControl().OnTimer();
  EXPECT_EQ(fake_.diskQueries - queries, 2);
}

TEST_F(TimerTest, DestructionKillsARunningTimer) {
  LoadMainWindow();
  std::size_t mark = fake_.calls.size();
  fake_.DestroyWindow(fake_.TopLevelWindow());
  EXPECT_EQ(TimerCallsSince(mark), std::vector<std::string>{"StopTimer"});
}

TEST_F(TimerTest, DestructionLeavesAStoppedTimerAlone) {
  LoadMainWindow();
  WritePeriod(0);
  std::size_t mark = fake_.calls.size();
  fake_.DestroyWindow(fake_.TopLevelWindow());
  EXPECT_TRUE(TimerCallsSince(mark).empty());
}

TEST_F(TimerTest, ATimerThatFailsToStartGoesUnnoticed) {
  fake_.timersFail = true;
  LoadMainWindow();
  EXPECT_EQ(TimerCallsSince(0), std::vector<std::string>{"StartTimer 1000"});
  EXPECT_TRUE(Running().empty());
  EXPECT_EQ(ReadPeriod(), 1000);
  EXPECT_TRUE(fake_.errorBoxes.empty());

  // It counts as running, so stopping it asks the platform to kill it.
  std::size_t mark = fake_.calls.size();
  WritePeriod(0);
  EXPECT_EQ(TimerCallsSince(mark), std::vector<std::string>{"StopTimer"});
  EXPECT_EQ(ReadPeriod(), 0);
}

}  // namespace
