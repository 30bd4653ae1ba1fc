#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/current_drive.h"
#include "shell/main_window.h"
#include "test_support.h"

namespace {

constexpr char kHeading[] = "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!";        // 运行时出错!
constexpr char kCodeLabel[] = "\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA";        // 错误代码：
constexpr char kMessageLabel[] = "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";     // 错误信息：
constexpr char kErrorCaption[] = "\xB4\xED\xCE\xF3";                             // 错误
constexpr char kStartWindowFailed[] = "\xD4\xD8\xC8\xEB\xC6\xF4\xB6\xAF\xB4\xB0\xBF\xDA\xCA\xA7\xB0\xDC";
constexpr char kDescriptionUnreadable[] =
    "\xD4\xD8\xC8\xEB\xB4\xB0\xBF\xDA\xC4\xA3\xB0\xE5\xCA\xFD\xBE\xDD\xB6\xCE\xB3\xF6\xB4\xED!";
constexpr char kEventWindowMissing[] =
    "\xCE\xB4\xD5\xD2\xB5\xBD\xD2\xFD\xB7\xA2\xCA\xC2\xBC\xFE\xB5\xC4\xB4\xB0\xBF\xDA";
constexpr char kEventControlMissing[] =
    "\xCE\xB4\xD5\xD2\xB5\xBD\xD2\xFD\xB7\xA2\xCA\xC2\xBC\xFE\xB5\xC4\xB4\xB0\xBF\xDA\xD7\xE9\xBC\xFE";

// The box text of a fatal error with code 0.
std::string BoxFor(const std::string& message) {
  return std::string(kHeading) + "\r\n\r\n" + kMessageLabel + message + "\r\n";
}

// Hooks and handlers take no arguments, so what they see goes through globals.
struct Counts {
  int start = 0;
  int exit = 0;
  int tick = 0;
  int click = 0;
  int closeRequest = 0;
  int windowsAtStart = -1;
};
Counts g_counts;
FakePlatform* g_fake = nullptr;

void CountStart() {
  ++g_counts.start;
  g_counts.windowsAtStart = g_fake->windowCreations;
  g_fake->calls.push_back("StartHook");
}
void CountExit() {
  ++g_counts.exit;
  g_fake->calls.push_back("ExitHook");
}
void CountTick() { ++g_counts.tick; }
void CountClick() { ++g_counts.click; }
void CountCloseRequest() { ++g_counts.closeRequest; }
void CloseTheWindow() { g_fake->SendClose(g_fake->TopLevelWindow()); }

Program CountingProgramFor(const WindowDescription& description) {
  Program program = DiskSpaceQueryProgram();
  program.description = &description;
  program.handlers = {{"MonitorTick", &CountTick},
                      {"ToggleMonitoring", &CountClick},
                      {"CloseRequest", &CountCloseRequest},
                      {"CloseTheWindow", &CloseTheWindow}};
  program.startHook = &CountStart;
  program.exitHook = &CountExit;
  return program;
}

WindowDescription MainDescriptionWith(std::vector<EventBinding> windowBindings) {
  WindowDescription description = MainWindowDescription();
  description.windows[0].bindings = std::move(windowBindings);
  return description;
}

// The program's window with counting hooks and handlers; its close request is bound too.
const Program& CountingProgram() {
  static const WindowDescription description = MainDescriptionWith({{kCloseRequestEvent, "CloseRequest"}});
  static const Program program = CountingProgramFor(description);
  return program;
}

// The same, but a handler of the window's built event closes the window again.
const Program& SelfClosingProgram() {
  static const WindowDescription description = MainDescriptionWith({{kBuiltEvent, "CloseTheWindow"}});
  static const Program program = CountingProgramFor(description);
  return program;
}

// A system whose error box lets a test act while it is open.
class BoxWatchingFake : public FakePlatform {
 public:
  void ShowErrorBox(const std::string& text, const std::string& caption) override {
    FakePlatform::ShowErrorBox(text, caption);
    if (whileBoxOpen) whileBoxOpen();
  }
  std::function<void()> whileBoxOpen;
};

// A system and a shell of its own, for cases that end the process.
struct FreshShell {
  explicit FreshShell(const Program& program) : shell(fake, program) { g_fake = &fake; }
  ~FreshShell() { g_fake = nullptr; }
  BoxWatchingFake fake;
  Shell shell;
};

class StartUpTest : public ShellTest {
 protected:
  StartUpTest() : ShellTest(CountingProgram()) {
    g_counts = Counts();
    g_fake = &fake_;
  }
  ~StartUpTest() override { g_fake = nullptr; }
};

TEST_F(StartUpTest, StartsUpInOrderAndExitsWithZeroOnceTheWindowCloses) {
  fake_.modulePath = L"D:\\Tools\\Disk\\DiskSpaceQuery.exe";
  fake_.workingDirectory = L"C:\\Users\\someone";
  bool shownWhenTheLoopRan = false;
  fake_.Post([this, &shownWhenTheLoopRan] {
    WindowHandle window = fake_.TopLevelWindow();
    shownWhenTheLoopRan = window != 0 && fake_.Window(window).visible;
    fake_.SendClose(window);
  });

  EXPECT_EQ(ExitCodeOf([this] { RunProgram(fake_, CountingProgram()); }), 0u);

  // The timer starts while the window is built, between the start hook and the loop.
  std::vector<std::string> expected = {
      "SetQuietErrorMode",  "ModuleFileName",  "ChangeDirectory D:\\Tools\\Disk",
      "ResetFloatingPoint", "StartHook",       "StartTimer 1000",
      "RunMessageLoop",     "StopTimer",       "ExitHook",
      "EndProcess 0"};
  EXPECT_EQ(fake_.calls, expected);
  EXPECT_EQ(g_counts.windowsAtStart, 0);
  EXPECT_TRUE(shownWhenTheLoopRan);
  EXPECT_EQ(g_counts.start, 1);
  EXPECT_EQ(g_counts.exit, 1);
  EXPECT_EQ(g_counts.closeRequest, 1);
  EXPECT_EQ(fake_.workingDirectory, L"D:\\Tools\\Disk");
  EXPECT_EQ(CurrentDriveLetter(), 'D');
  EXPECT_TRUE(fake_.errorBoxes.empty());
}

TEST_F(StartUpTest, AWindowClosedWhileBuildingSkipsTheLoopAndExitsWithZero) {
  EXPECT_EQ(ExitCodeOf([this] { RunProgram(fake_, SelfClosingProgram()); }), 0u);
  EXPECT_EQ(std::count(fake_.calls.begin(), fake_.calls.end(), "RunMessageLoop"), 0);
  EXPECT_EQ(fake_.TopLevelWindow(), 0u);
  EXPECT_EQ(g_counts.exit, 1);
  EXPECT_TRUE(fake_.errorBoxes.empty());
}

TEST_F(StartUpTest, AFatalErrorWhileRunningShowsOneBoxAndSkipsTheExitHook) {
  fake_.Post([] { RaiseEvent(0x52010002, kTimerNumber, 0); });

  EXPECT_EQ(ExitCodeOf([this] { RunProgram(fake_, CountingProgram()); }), 0xFFFFFFFFu);

  ASSERT_EQ(fake_.errorBoxes.size(), 1u);
  EXPECT_EQ(fake_.errorBoxes[0].caption, kErrorCaption);
  EXPECT_EQ(fake_.errorBoxes[0].text, BoxFor(kEventWindowMissing));
  EXPECT_EQ(g_counts.exit, 0);
  EXPECT_EQ(fake_.calls.back(), "EndProcess 4294967295");
  EXPECT_EQ(fake_.TopLevelWindow(), 0u);
}

TEST(FatalBoxTextTest, HasTheCodeAndMessageLinesOnlyWhenGiven) {
  const std::string head = std::string(kHeading) + "\r\n\r\n";
  struct Case {
    Text message;
    std::int32_t code;
    std::string expected;
  } cases[] = {
      {nullptr, 0, head},
      {"", 0, head},
      {"\xB2\xBB\xC4\xDC", 0, head + kMessageLabel + "\xB2\xBB\xC4\xDC\r\n"},
      {nullptr, 5, head + kCodeLabel + "5\r\n\r\n"},
      {"m", -1, head + kCodeLabel + "-1\r\n\r\n" + kMessageLabel + "m\r\n"},
      {"m", -2147483647 - 1, head + kCodeLabel + "-2147483648\r\n\r\n" + kMessageLabel + "m\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(FatalBoxText(c.message, c.code), c.expected) << c.code;
}

TEST(ProgramFolderTest, IsEverythingBeforeTheLastBackslash) {
  const std::wstring grinning = {L'\xD83D', L'\xDE00'};  // U+1F600, outside GBK, as UTF-16
  struct Case {
    std::wstring path;
    std::wstring folder;
  } cases[] = {
      {L"C:\\Program Files\\Disk\\DiskSpaceQuery.exe", L"C:\\Program Files\\Disk"},
      {L"E:\\DiskSpaceQuery.exe", L"E:"},
      {L"DiskSpaceQuery.exe", L""},
      {L"", L""},
      // 乗 is 0x81 0x5C in GBK: its trail byte must not split the path.
      {L"D:\\\x4E57\\DiskSpaceQuery.exe", L"D:\\\x4E57"},
      {L"D:\\a\x4E57\\\x4E57.exe", L"D:\\a\x4E57"},
      {L"D:\\" + grinning + L"\\DiskSpaceQuery.exe", L"D:\\" + grinning},
      {L"\\\\server\\share\\tools\\DiskSpaceQuery.exe", L"\\\\server\\share\\tools"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProgramFolderOf(c.path), c.folder);
}

class EventDispatchTest : public StartUpTest {
 protected:
  void SetUp() override { shell_.LoadDescription(); }
};

TEST_F(EventDispatchTest, CallsTheBoundHandlerAndIgnoresUnboundEvents) {
  EXPECT_TRUE(RaiseEvent(kMainWindowNumber, kTimerNumber, 0));
  EXPECT_TRUE(RaiseEvent(kMainWindowNumber, kMonitorButtonNumber, 0));
  EXPECT_TRUE(RaiseEvent(kMainWindowNumber, 0, kCloseRequestEvent));  // control 0 is the window
  EXPECT_EQ(g_counts.tick, 1);
  EXPECT_EQ(g_counts.click, 1);
  EXPECT_EQ(g_counts.closeRequest, 1);

  struct Unbound {
    ControlNumber control;
    std::int32_t event;
  } unbound[] = {{kTimerNumber, 1},     {kMonitorButtonNumber, kGotFocusEvent},
                 {kFreeSpaceLabelNumber, 0}, {kAllDrivesBoxNumber, 0},
                 {0, kBuiltEvent},      {0, kDestroyingEvent}};
  for (const Unbound& u : unbound) EXPECT_FALSE(RaiseEvent(kMainWindowNumber, u.control, u.event)) << u.control;
  EXPECT_EQ(g_counts.tick + g_counts.click + g_counts.closeRequest, 3);
  EXPECT_TRUE(fake_.errorBoxes.empty());
}

TEST_F(EventDispatchTest, HeldEventsCallNothingAndReportNothing) {
  shell_.HoldEvents();
  EXPECT_FALSE(RaiseEvent(kMainWindowNumber, kTimerNumber, 0));
  EXPECT_FALSE(RaiseEvent(0x52010002, 0x16019999, 0));
  EXPECT_EQ(g_counts.tick, 0);
  EXPECT_TRUE(fake_.errorBoxes.empty());
}

TEST(EventDispatchFailureTest, AnUnknownWindowOrControlIsFatal) {
  struct Case {
    ControlNumber window;
    ControlNumber control;
    const char* message;
  } cases[] = {
      {0x52010002, 0, kEventWindowMissing},
      {0x52010002, kTimerNumber, kEventWindowMissing},
      {kMainWindowNumber, 0x16010099, kEventControlMissing},
      {kMainWindowNumber, kMainWindowNumber, kEventControlMissing},
  };
  for (const Case& c : cases) {
    FreshShell fresh(CountingProgram());
    fresh.shell.LoadDescription();
    EXPECT_EQ(ExitCodeOf([&c] { RaiseEvent(c.window, c.control, 0); }), 0xFFFFFFFFu);
    ASSERT_EQ(fresh.fake.errorBoxes.size(), 1u);
    EXPECT_EQ(fresh.fake.errorBoxes[0].text, BoxFor(c.message)) << std::hex << c.window << " " << c.control;
  }
}

TEST(FatalErrorTest, NoHandlerRunsWhileTheBoxIsOpenNorAfterwards) {
  FreshShell fresh(CountingProgram());
  BoxWatchingFake& fake = fresh.fake;
  Shell& shell = fresh.shell;
  g_counts = Counts();
  shell.LoadDescription();
  shell.RegisterExitHook(&CountExit);
  LoadWindow(kMainWindowNumber);
  fake.FireTimers();
  ASSERT_EQ(g_counts.tick, 1);  // the timer does reach its handler before the error

  WindowHandle button =
      shell.FindControlRecord(*shell.FindWindowRecord(kMainWindowNumber), kMonitorButtonNumber)->component->Handle();
  bool raisedWhileOpen = true;
  fake.whileBoxOpen = [&] {
    fake.FireTimers();
    fake.ClickButton(button);
    raisedWhileOpen = RaiseEvent(kMainWindowNumber, kTimerNumber, 0);
  };
  EXPECT_EQ(ExitCodeOf([] { FatalError("\xB2\xBB\xC4\xDC", 0); }), 0xFFFFFFFFu);

  EXPECT_FALSE(raisedWhileOpen);
  EXPECT_EQ(g_counts.tick, 1);
  EXPECT_EQ(g_counts.click, 0);
  EXPECT_EQ(g_counts.exit, 0);
  // The window table is empty now; a late event is still held rather than reported missing.
  EXPECT_FALSE(RaiseEvent(kMainWindowNumber, kTimerNumber, 0));
  ASSERT_EQ(fake.errorBoxes.size(), 1u);
  EXPECT_EQ(fake.errorBoxes[0].caption, kErrorCaption);
  EXPECT_EQ(fake.errorBoxes[0].text, BoxFor("\xB2\xBB\xC4\xDC"));
}

TEST(LoadDescriptionTest, AnUnreadableDescriptionIsFatal) {
  WindowDescription unknownHandler = MainDescriptionWith({{kBuiltEvent, "NoSuchHandler"}});
  WindowDescription twiceTheSameControl = MainWindowDescription();
  twiceTheSameControl.windows[0].controls[1].number = twiceTheSameControl.windows[0].controls[0].number;
  WindowDescription empty;
  const WindowDescription* descriptions[] = {&unknownHandler, &twiceTheSameControl, &empty, nullptr};
  for (const WindowDescription* description : descriptions) {
    Program program = CountingProgramFor(MainWindowDescription());
    program.description = description;
    FreshShell fresh(program);
    EXPECT_EQ(ExitCodeOf([&fresh] { fresh.shell.LoadDescription(); }), 0xFFFFFFFFu);
    ASSERT_EQ(fresh.fake.errorBoxes.size(), 1u);
    EXPECT_EQ(fresh.fake.errorBoxes[0].text, BoxFor(kDescriptionUnreadable));
    EXPECT_EQ(fresh.fake.windowCreations, 0);
  }
}

TEST(LoadWindowTest, AnUnknownWindowNumberIsFatal) {
  FreshShell fresh(CountingProgram());
  fresh.shell.LoadDescription();
  EXPECT_EQ(ExitCodeOf([] { LoadWindow(0x52010002); }), 0xFFFFFFFFu);
  ASSERT_EQ(fresh.fake.errorBoxes.size(), 1u);
  EXPECT_EQ(fresh.fake.errorBoxes[0].text, BoxFor(kStartWindowFailed));
  EXPECT_EQ(fresh.fake.windowCreations, 0);
}

TEST(LoadWindowTest, AFailedSystemWindowIsFatalAndLeavesNothingBehind) {
  // The window is made first, then its eleven controls: twelve system windows.
  for (int failing = 1; failing <= 12; ++failing) {
    FreshShell fresh(CountingProgram());
    BoxWatchingFake& fake = fresh.fake;
    fake.AddDrive('C', FakeDrive());
    fake.failWindowNumber = failing;
    fresh.shell.LoadDescription();
    // Whatever was made is gone before the box appears, not only once the process ends.
    bool leftBehind = true;
    fake.whileBoxOpen = [&fake, &leftBehind] {
      leftBehind = fake.TopLevelWindow() != 0 || !fake.liveGdiObjects.empty() ||
                   std::count(fake.calls.begin(), fake.calls.end(), "StartTimer 1000") !=
                       std::count(fake.calls.begin(), fake.calls.end(), "StopTimer");
    };
    EXPECT_EQ(ExitCodeOf([] { LoadWindow(kMainWindowNumber); }), 0xFFFFFFFFu) << failing;
    ASSERT_EQ(fake.errorBoxes.size(), 1u) << failing;
    EXPECT_EQ(fake.errorBoxes[0].text, BoxFor(kStartWindowFailed)) << failing;
    EXPECT_FALSE(leftBehind) << failing;
    EXPECT_TRUE(fake.gdiMistakes.empty()) << failing;
  }
}

}  // namespace
