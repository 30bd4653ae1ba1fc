// End-to-end tests of the real program: started as a separate process under
// Wine, read and driven from here the way a user and the system would.
//
// The runner (run_e2e.sh) prepares the drives and passes, in the environment:
//   DSQ_E2E_PROGRAM    Windows path of DiskSpaceQuery.exe
//   DSQ_E2E_PROBE      Windows path of shell_probe.exe
//   DSQ_E2E_HOST       shared folder for requests to the host (AskHost)
//   DSQ_E2E_LAYOUT     the drives the prefix has (see kLayouts)
//   DSQ_E2E_CODE_PAGE  the ANSI code page the run is meant to have
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "program_window.h"

using namespace e2e;

namespace {

// The drives of each prefix layout, as the visible and the hidden selector list them.
struct Layout {
  std::vector<ComboItem> allDrives;
  std::vector<ComboItem> removableDrives;
  std::wstring indicator;  // what the removable-disk indicator reads
};

ComboItem Item(const wchar_t* text) { return ComboItem{text, static_cast<std::uintptr_t>(text[0])}; }

const std::map<std::wstring, Layout> kLayouts = {
    {L"with-removable",
     {{Item(L"C: （硬盘）"), Item(L"D: （硬盘） DATA"), Item(L"E:"), Item(L"F: （光驱）"), Item(L"N: （网络驱动器）")},
      {Item(L"E:")},
      kInserted}},
    // A removable drive without a medium is listed, but nothing is inserted.
    {L"empty-removable",
     {{Item(L"C: （硬盘）"), Item(L"D: （硬盘） DATA"), Item(L"E:"), Item(L"F: （光驱）"), Item(L"N: （网络驱动器）")},
      {Item(L"E:")},
      kNotInserted}},
    {L"without-removable",
     {{Item(L"C: （硬盘）"), Item(L"D: （硬盘） DATA"), Item(L"F: （光驱）"), Item(L"N: （网络驱动器）")}, {}, kNotInserted}},
};

const Layout& CurrentLayout() {
  static const Layout none;
  auto found = kLayouts.find(EnvironmentVariable(L"DSQ_E2E_LAYOUT"));
  return found != kLayouts.end() ? found->second : none;
}

::testing::AssertionResult ExitsWith(Program& program, DWORD expected) {
  DWORD code = 0;
  if (!program.WaitForExit(kEventTimeoutMs, code)) return ::testing::AssertionFailure() << "the program did not end";
  if (code != expected) return ::testing::AssertionFailure() << "exit code " << code << ", expected " << expected;
  return ::testing::AssertionSuccess();
}

// Asks for a screenshot of the window as an artifact of the run.
void SaveScreenshot(const char* name) {
  if (!AskHost(std::string("screenshot ") + name)) ADD_FAILURE() << "no screenshot " << name;
}

// The run has the code page it is meant to have, and the program exists.
class RunEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::wstring codePage = EnvironmentVariable(L"DSQ_E2E_CODE_PAGE");
    ASSERT_FALSE(codePage.empty()) << "DSQ_E2E_CODE_PAGE is not set";
    ASSERT_EQ(GetACP(), std::stoul(codePage)) << "the locale did not give the intended ANSI code page";
    ASSERT_NE(GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "no program at \"" << Narrow(ProgramPath()) << "\" (DSQ_E2E_PROGRAM)";
  }
};

const ::testing::Environment* const kRunEnvironment = ::testing::AddGlobalTestEnvironment(new RunEnvironment);

// ---------------------------------------------------------------------------
// The window and its controls at start.

TEST(MainWindowAtStart, IsAFixedSizeWindowTitledInChineseCentredOnTheScreen) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  HWND window = running.window();
  EXPECT_EQ(Narrow(WindowText(window)), Narrow(kTitle));
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 832);
  EXPECT_EQ(rect.top, 432);
  EXPECT_EQ(rect.right, 1087);
  EXPECT_EQ(rect.bottom, 647);
  // A caption with the system menu and minimise; no sizing frame, no maximise.
  // The system adds WS_CLIPSIBLINGS and WS_EX_WINDOWEDGE to such a window.
  EXPECT_EQ(Style(window) & ~static_cast<LONG_PTR>(WS_CLIPSIBLINGS),
            static_cast<LONG_PTR>(WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN));
  EXPECT_EQ(ExtendedStyle(window) & ~static_cast<LONG_PTR>(WS_EX_WINDOWEDGE), 0);
  // Its own window in the taskbar: no owner.
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  EXPECT_TRUE(running.AloneOnScreen());
}

struct ExpectedControl {
  int id;
  const wchar_t* className;
  const wchar_t* firstText;  // null: not looked at here
  bool visible;
  bool tabStop;
  RECT rect;  // in the window's client area; for a drive selector, with its open list
};

// The height CB_GETDROPPEDCONTROLRECT gives for a drop-down list combo box
// created `height` pixels tall (list included) with the default GUI font.
LONG DroppedHeightOfAComboBox(int width, int height) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, width, height,
                               parent, nullptr, nullptr, nullptr);
  SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  RECT rect = ComboDroppedRect(combo);
  DestroyWindow(parent);
  return rect.bottom - rect.top;
}

TEST(MainWindowAtStart, HasElevenControlsStackedInDescriptionOrder) {
  const wchar_t* label = L"DiskSpaceQuery.Label";
  const ExpectedControl expected[] = {
      {kRemovableDrivesId, L"ComboBox", nullptr, false, true, {56, 48, 160, 128}},
      {kMonitorButtonId, L"Button", L"停止监控", true, true, {72, 16, 160, 40}},
      {kFreeReadOutId, label, L"检测中ing", true, false, {95, 147, 344, 171}},
      {kTotalReadOutId, label, L"检测中ing", true, false, {95, 123, 344, 147}},
      {kFreeCaptionId, label, L"分区剩余空间", true, false, {7, 147, 95, 171}},
      {kTotalCaptionId, label, L"分区全部空间", true, false, {7, 123, 95, 147}},
      {kAllDrivesId, L"ComboBox", nullptr, true, true, {95, 107, 183, 187}},
      {kAllPartitionsCaptionId, label, L"本机全部分区：", true, false, {-1, 99, 87, 123}},
      {kUsbIndicatorId, label, L"检测中ing", true, false, {95, 75, 183, 99}},
      {kUsbQuestionId, label, L"u盘是否插入", true, false, {7, 75, 95, 99}},
      {kTimerId, L"DiskSpaceQuery.Timer", nullptr, false, false, {0, 0, 0, 0}},
  };
  RunningWindow running;
  ASSERT_TRUE(running.Ready());

  std::vector<int> stacking, expectedStacking;
  for (HWND child : ChildrenTopDown(running.window())) stacking.push_back(ControlId(child));
  for (const ExpectedControl& control : expected) expectedStacking.push_back(control.id);
  EXPECT_EQ(stacking, expectedStacking) << "controls from the top of the stacking order down";

  for (const ExpectedControl& control : expected) {
    SCOPED_TRACE("control " + std::to_string(control.id));
    HWND child = running.control(control.id);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(child).c_str(), control.className), 0) << Narrow(ClassOf(child));
    if (control.firstText != nullptr) {
      EXPECT_EQ(Narrow(running.FirstText(control.id)), Narrow(control.firstText));
    }
    EXPECT_EQ(IsWindowVisible(child) != 0, control.visible);
    EXPECT_EQ((Style(child) & WS_TABSTOP) != 0, control.tabStop);
    if (control.id == kTimerId) continue;  // a timer has no place on screen
    RECT rect = RectInParent(child);
    EXPECT_EQ(rect.left, control.rect.left);
    EXPECT_EQ(rect.top, control.rect.top);
    EXPECT_EQ(rect.right, control.rect.right);
    if (ClassOf(child) == L"ComboBox") {
      // A closed drop-down list reports only its selection field; the list
      // adds the rest. What CB_GETDROPPEDCONTROLRECT answers for the whole
      // differs between systems (Wine 8 leaves out the field), so the answer
      // is compared with that for a drop-down list made here as tall as asked.
      RECT dropped = ComboDroppedRect(child);
      EXPECT_EQ(dropped.left, control.rect.left);
      EXPECT_EQ(dropped.top, control.rect.top);
      EXPECT_EQ(dropped.right, control.rect.right);
      EXPECT_GE(dropped.bottom - dropped.top,
                DroppedHeightOfAComboBox(control.rect.right - control.rect.left, control.rect.bottom - control.rect.top))
          << "the height with the list";
      EXPECT_EQ(Style(child) & 0x3, CBS_DROPDOWNLIST);
      EXPECT_EQ(Style(child) & CBS_SORT, 0) << "the drives keep the system's order";
    } else {
      EXPECT_EQ(rect.bottom, control.rect.bottom);
    }
  }
  EXPECT_EQ(Style(running.control(kMonitorButtonId)) & 0xF, BS_PUSHBUTTON) << "not a default push button";
}

TEST(MainWindowAtStart, ShowsDetectingUntilTheFirstTickFillsTheReadOuts) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  for (int id : {kUsbIndicatorId, kTotalReadOutId, kFreeReadOutId}) {
    EXPECT_EQ(Narrow(running.FirstText(id)), Narrow(kDetecting)) << "control " << id;
  }
  EXPECT_TRUE(WaitUntil([&] {
    for (int id : {kUsbIndicatorId, kTotalReadOutId, kFreeReadOutId}) {
      if (WindowText(running.control(id)) == kDetecting) return false;
    }
    return true;
  })) << "the first tick did not replace the read-outs";
}

TEST(MainWindowAtStart, GivesTheFocusToTheAllPartitionsSelector) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  EXPECT_TRUE(running.FocusComesTo(kAllDrivesId));
}

// ---------------------------------------------------------------------------
// Keyboard and mouse.

TEST(Keyboard, TabAndShiftTabAlternateBetweenTheSelectorAndTheButton) {
  struct Step {
    bool shift;
    int focusAfter;
  };
  const Step steps[] = {{false, kMonitorButtonId}, {false, kAllDrivesId}, {true, kMonitorButtonId},
                        {true, kAllDrivesId},      {true, kMonitorButtonId}, {false, kAllDrivesId}};
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  ASSERT_TRUE(running.FocusComesTo(kAllDrivesId));
  for (const Step& step : steps) {
    PressKey(VK_TAB, Modifiers{step.shift, false});
    ASSERT_TRUE(running.FocusComesTo(step.focusAfter)) << (step.shift ? "after Shift+Tab" : "after Tab");
  }
}

struct ClosingKey {
  const char* name;
  int focusedId;
  WORD key;
  Modifiers modifiers;
};

void PrintTo(const ClosingKey& key, std::ostream* out) { *out << key.name; }

class KeyboardClosing : public ::testing::TestWithParam<ClosingKey> {};

TEST_P(KeyboardClosing, ClosesTheWindowAndEndsTheProgramWithExitCodeZero) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  ASSERT_TRUE(running.MoveFocusTo(GetParam().focusedId));
  PressKey(GetParam().key, GetParam().modifiers);
  EXPECT_TRUE(ExitsWith(running.program(), 0));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyboardClosing,
    ::testing::Values(ClosingKey{"EscOnTheSelector", kAllDrivesId, VK_ESCAPE, {}},
                      ClosingKey{"EscOnTheButton", kMonitorButtonId, VK_ESCAPE, {}},
                      // On the button: Wine 8's drop-down list swallows every Alt key but Alt+Up and Alt+Down.
                      ClosingKey{"AltF4OnTheButton", kMonitorButtonId, VK_F4, Modifiers{false, true}}),
    [](const ::testing::TestParamInfo<ClosingKey>& info) { return std::string(info.param.name); });

TEST(MouseClosing, TheCloseBoxClosesTheWindowAndEndsTheProgramWithExitCodeZero) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  HWND window = running.window();
  // The close box is where the window says it is, along its title bar.
  RECT rect{};
  GetWindowRect(window, &rect);
  int titleRow = rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  POINT closeBox{0, titleRow};
  for (LONG x = rect.right - 1; x > rect.left && closeBox.x == 0; --x) {
    if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, titleRow)) == HTCLOSE) closeBox.x = x - 3;
  }
  ASSERT_NE(closeBox.x, 0) << "no close box in the title bar";
  ClickAt(closeBox);
  EXPECT_TRUE(ExitsWith(running.program(), 0));
}

TEST(Focus, ComesBackToTheControlThatHadItWhenTheWindowIsActivatedAgain) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  ASSERT_TRUE(running.MoveFocusTo(kMonitorButtonId));
  // Another window takes the activation away...
  HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE | WS_BORDER, 100, 100, 200,
                               100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  EXPECT_TRUE(WaitUntil([&] { return running.program().ActiveWindow() != running.window(); }))
      << "the window stayed active";
  // ...and a click on an empty spot of the window brings it back.
  POINT empty{200, 50};  // right of the button, above the labels
  ClientToScreen(running.window(), &empty);
  ClickAt(empty);
  EXPECT_TRUE(WaitUntil([&] { return running.program().ActiveWindow() == running.window(); }))
      << "the window did not become active again";
  EXPECT_TRUE(running.FocusComesTo(kMonitorButtonId));
  DestroyWindow(other);
}

// A key that must do nothing is followed by Tab: once the focus has moved,
// the key before it has been handled too.
TEST(Keyboard, ShiftEscLeavesTheWindowOpen) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  ASSERT_TRUE(running.FocusComesTo(kAllDrivesId));
  PressKey(VK_ESCAPE, Modifiers{true, false});
  PressKey(VK_TAB);
  ASSERT_TRUE(running.FocusComesTo(kMonitorButtonId));
  EXPECT_TRUE(running.program().Running());
  EXPECT_TRUE(IsWindowVisible(running.window()));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(ExitsWith(running.program(), 0));
}

TEST(Keyboard, SpaceOnTheButtonClicksItOnceAndEnterNotAtAll) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  HWND button = running.control(kMonitorButtonId);
  ASSERT_TRUE(running.MoveFocusTo(kMonitorButtonId));

  PressKey(VK_RETURN);
  PressKey(VK_TAB);
  ASSERT_TRUE(running.FocusComesTo(kAllDrivesId));
  EXPECT_EQ(Narrow(WindowText(button)), Narrow(kStopMonitoring)) << "Enter clicked the button";

  PressKey(VK_TAB);
  ASSERT_TRUE(running.FocusComesTo(kMonitorButtonId));
  PressKey(VK_SPACE);
  EXPECT_TRUE(TextComesToBe(button, kStartMonitoring)) << "Space did not click the button";
  PressKey(VK_TAB);
  ASSERT_TRUE(running.FocusComesTo(kAllDrivesId));
  EXPECT_EQ(Narrow(WindowText(button)), Narrow(kStartMonitoring)) << "Space clicked the button twice";

  PressKey(VK_TAB);
  ASSERT_TRUE(running.FocusComesTo(kMonitorButtonId));
  PressKey(VK_SPACE);
  EXPECT_TRUE(TextComesToBe(button, kStopMonitoring)) << "a second Space did not click the button again";
}

TEST(MonitorButton, AMouseClickTogglesMonitoringOnce) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  HWND button = running.control(kMonitorButtonId);
  ASSERT_TRUE(running.ClickMonitorButton(kStartMonitoring));
  // The click focused the button; once Tab has moved the focus on, the click
  // has been handled completely.
  PressKey(VK_TAB);
  ASSERT_TRUE(running.FocusComesTo(kAllDrivesId));
  EXPECT_EQ(Narrow(WindowText(button)), Narrow(kStartMonitoring)) << "one click was taken twice";
  EXPECT_TRUE(running.ClickMonitorButton(kStopMonitoring));
}

// ---------------------------------------------------------------------------
// Drives.

TEST(DriveSelectors, TheVisibleOneListsEveryDriveByKindAndLabelAndPicksTheProgramDrive) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  HWND selector = running.control(kAllDrivesId);
  std::vector<ComboItem> items = ComboItems(selector);
  const std::vector<ComboItem>& expected = CurrentLayout().allDrives;
  ASSERT_EQ(items.size(), expected.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(Narrow(items[i].text), Narrow(expected[i].text)) << "item " << i;
    EXPECT_EQ(items[i].data, expected[i].data) << "item " << i << " holds its letter's code";
  }
  // The program runs from C:.
  EXPECT_EQ(ComboSelection(selector), 0);
  EXPECT_EQ(Narrow(WindowText(selector)), Narrow(expected.front().text)) << "the selection field";
}

TEST(DriveSelectors, TheHiddenOneListsOnlyRemovableDrivesAndIsNeverShown) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  HWND selector = running.control(kRemovableDrivesId);
  std::vector<ComboItem> items = ComboItems(selector);
  const std::vector<ComboItem>& expected = CurrentLayout().removableDrives;
  ASSERT_EQ(items.size(), expected.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(Narrow(items[i].text), Narrow(expected[i].text)) << "item " << i;
    EXPECT_EQ(items[i].data, expected[i].data) << "item " << i;
  }
  EXPECT_EQ(ComboSelection(selector), -1) << "the program's own drive is no removable drive";
  // Still hidden after a few ticks, and never reached with Tab.
  ASSERT_TRUE(TextComesToBe(running.control(kUsbIndicatorId), CurrentLayout().indicator));
  EXPECT_FALSE(IsWindowVisible(selector));
  for (int presses = 0; presses < 3; ++presses) {
    PressKey(VK_TAB);
    EXPECT_TRUE(running.FocusComesTo(presses % 2 == 0 ? kMonitorButtonId : kAllDrivesId));
  }
}

TEST(RemovableIndicator, SaysInsertedOnlyWhenARemovableDriveHoldsAMedium) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  HWND indicator = running.control(kUsbIndicatorId);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(indicator) != kDetecting; })) << "no tick came";
  EXPECT_EQ(Narrow(WindowText(indicator)), Narrow(CurrentLayout().indicator));
}

TEST(ReadOuts, ShowTheProgramDriveSizesFromTheFirstTick) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  EXPECT_TRUE(ReadOutsComeToShow(running.window(), L'C'));
  EXPECT_TRUE(TextComesToBe(running.control(kUsbIndicatorId), CurrentLayout().indicator));
  // Only where the system's fonts draw the Chinese texts (under code page 1252
  // Wine's default GUI font has no Chinese glyphs and no fallback).
  if (GetACP() == 936) SaveScreenshot("read-outs");
}

TEST(ReadOuts, FollowTheDriveChosenInTheList) {
  // Each drive's figures differ from those of the one before: E: and N: are
  // on another file system than C: and D:, and F: has no disc.
  const wchar_t drives[] = {L'E', L'D', L'F', L'N', L'C'};
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  ASSERT_TRUE(ReadOutsComeToShow(running.window(), L'C'));
  for (wchar_t drive : drives) {
    SCOPED_TRACE("drive " + Narrow(std::wstring(1, drive)));
    ASSERT_TRUE(running.ChooseDrive(drive));
    EXPECT_TRUE(ReadOutsComeToShow(running.window(), drive));
    if (drive == L'E') SaveScreenshot("removable-drive-chosen");
    EXPECT_TRUE(running.AloneOnScreen()) << "the drive without a disc brought up a box";
  }
}

TEST(ReadOuts, StandStillWhileMonitoringIsOffAndRefreshWhenItIsOnAgain) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  ASSERT_TRUE(ReadOutsComeToShow(running.window(), L'C'));
  ASSERT_TRUE(running.ClickMonitorButton(kStartMonitoring));
  std::wstring total = WindowText(running.control(kTotalReadOutId));
  std::wstring free = WindowText(running.control(kFreeReadOutId));
  // Another drive with other figures: a tick would show them.
  ASSERT_TRUE(running.ChooseDrive(L'E'));
  Sleep(2500);  // more than two periods of the stopped timer
  EXPECT_EQ(Narrow(WindowText(running.control(kTotalReadOutId))), Narrow(total));
  EXPECT_EQ(Narrow(WindowText(running.control(kFreeReadOutId))), Narrow(free));

  ASSERT_TRUE(running.ClickMonitorButton(kStopMonitoring));
  EXPECT_TRUE(ReadOutsComeToShow(running.window(), L'E'));
}

TEST(ReadOuts, ShowZeroWhenTheChosenRemovableDriveIsPulledAndNoBoxAppears) {
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  ASSERT_TRUE(running.ChooseDrive(L'E'));
  ASSERT_TRUE(ReadOutsComeToShow(running.window(), L'E'));
  HWND indicator = running.control(kUsbIndicatorId);
  ASSERT_TRUE(TextComesToBe(indicator, kInserted));

  // The host pulls the drive: its folder and its letter vanish.
  ASSERT_TRUE(AskHost("unplug e"));
  struct PlugBackWhateverHappens {
    bool pluggedBack = false;
    ~PlugBackWhateverHappens() {
      if (!pluggedBack) AskHost("plug e");
    }
  } drive;
  EXPECT_TRUE(TextComesToBe(running.control(kTotalReadOutId), kQueryFailed));
  EXPECT_TRUE(TextComesToBe(running.control(kFreeReadOutId), kQueryFailed));
  EXPECT_TRUE(TextComesToBe(indicator, kNotInserted));
  EXPECT_TRUE(running.AloneOnScreen());

  drive.pluggedBack = true;
  ASSERT_TRUE(AskHost("plug e"));
  EXPECT_TRUE(TextComesToBe(indicator, kInserted)) << "the indicator did not see the drive come back";
  EXPECT_TRUE(ReadOutsComeToShow(running.window(), L'E'));
}

// A drive of 5 TiB: its kilobyte count needs more than 32 bits.
TEST(LargeDrive, ShowsItsFullSizeWithoutWrappingAround) {
  DriveFigures figures = FiguresOf(L'G');
  ASSERT_TRUE(figures.answered);
  ASSERT_EQ(figures.totalKib, 5ull << 30) << "the run did not give G: the size it meant to";
  RunningWindow running;
  ASSERT_TRUE(running.Ready());
  ASSERT_TRUE(running.ChooseDrive(L'G'));
  EXPECT_TRUE(ReadOutsComeToShow(running.window(), L'G'));
  EXPECT_EQ(Narrow(WindowText(running.control(kTotalReadOutId))), Narrow(L"5368709120KB（5120GB ）"));
}

// ---------------------------------------------------------------------------
// Start-up.

// Just enough of the process environment block to find the current directory.
struct UnicodeString {
  USHORT length;
  USHORT maximumLength;
  PWSTR buffer;
};
struct ProcessParameters {
  ULONG maximumLength;
  ULONG length;
  ULONG flags;
  ULONG debugFlags;
  HANDLE consoleHandle;
  ULONG consoleFlags;
  HANDLE standardInput;
  HANDLE standardOutput;
  HANDLE standardError;
  UnicodeString currentDirectory;  // CURDIR.DosPath
  HANDLE currentDirectoryHandle;
};
struct ProcessEnvironmentBlock {
  BYTE reserved[4];
  PVOID mutant;
  PVOID imageBaseAddress;
  PVOID loaderData;
  ProcessParameters* processParameters;
};
struct ProcessBasicInformation {
  LONG exitStatus;
  ProcessEnvironmentBlock* pebBaseAddress;
  ULONG_PTR affinityMask;
  LONG basePriority;
  ULONG_PTR uniqueProcessId;
  ULONG_PTR inheritedFromUniqueProcessId;
};
extern "C" LONG NTAPI NtQueryInformationProcess(HANDLE process, int informationClass, PVOID information,
                                                ULONG length, PULONG returned);

// The current directory of another process, read from its memory.
std::wstring CurrentDirectoryOf(HANDLE process) {
  ProcessBasicInformation basic{};
  if (NtQueryInformationProcess(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, nullptr) != 0) {
    return L"<no process information>";
  }
  ProcessEnvironmentBlock peb{};
  ProcessParameters parameters{};
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, basic.pebBaseAddress, &peb, sizeof peb, &read) ||
      !ReadProcessMemory(process, peb.processParameters, &parameters, sizeof parameters, &read)) {
    return L"<unreadable>";
  }
  std::wstring directory(parameters.currentDirectory.length / sizeof(wchar_t), L'\0');
  if (!directory.empty() &&
      !ReadProcessMemory(process, parameters.currentDirectory.buffer, &directory[0],
                         parameters.currentDirectory.length, &read)) {
    return L"<unreadable>";
  }
  return directory;
}

TEST(StartUp, MakesTheProgramFolderTheCurrentDirectoryAndItsDriveTheChosenOne) {
  // 乗 is 81 5C in GBK: its second byte is a backslash. U+1F600 has no GBK form.
  const std::wstring folder = L"D:\\乗\U0001F600";
  const std::wstring exe = folder + L"\\DiskSpaceQuery.exe";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), exe.c_str(), FALSE)) << "error " << GetLastError();

  RunningWindow running(exe, L"", L"C:\\");
  ASSERT_TRUE(running.Ready());
  EXPECT_EQ(Narrow(CurrentDirectoryOf(running.program().process())), Narrow(folder + L"\\"));
  HWND selector = running.control(kAllDrivesId);
  int selection = ComboSelection(selector);
  ASSERT_GE(selection, 0);
  EXPECT_EQ(SendMessageW(selector, CB_GETITEMDATA, static_cast<WPARAM>(selection), 0), L'D');
  EXPECT_TRUE(ReadOutsComeToShow(running.window(), L'D'));
}

// ---------------------------------------------------------------------------
// Fatal errors and icons, seen through the shell probe: the real shell and
// window with handlers of its own.

std::wstring ProbePath() { return EnvironmentVariable(L"DSQ_E2E_PROBE"); }

TEST(FatalError, ShowsOneErrorBoxAndEndsWithMinusOneOnceItIsConfirmed) {
  RunningWindow running(ProbePath(), L"fatal");
  ASSERT_NE(running.window(), nullptr) << "the probe's window did not appear";
  Program& probe = running.program();
  std::vector<HWND> boxes;
  ASSERT_TRUE(WaitUntil([&] { return !(boxes = probe.TopLevelWindows(L"错误")).empty(); }))
      << "no error box appeared";
  // The window stays behind the box, and the ticks that go on raise no second box.
  Sleep(2500);
  boxes = probe.TopLevelWindows(L"错误");
  ASSERT_EQ(boxes.size(), 1u);
  HWND box = boxes.front();
  EXPECT_EQ(ClassOf(box), L"#32770");
  EXPECT_EQ(Narrow(WindowText(GetDlgItem(box, 0xFFFF))), Narrow(L"运行时出错!\r\n\r\n错误信息：不能整除于零\r\n"));
  EXPECT_TRUE(IsWindowVisible(running.window()));
  HWND ok = GetDlgItem(box, IDOK);
  ASSERT_NE(ok, nullptr);
  ClickOn(ok);
  EXPECT_TRUE(ExitsWith(probe, 0xFFFFFFFF));
}

// Runs the probe in a mode that checks something inside its own process and
// reports what it found; the probe's exit code says whether it was right.
struct InsideCheck {
  DWORD exitCode = 0xDEAD;
  std::string report;
};

InsideCheck RunInsideCheck(const std::wstring& mode) {
  wchar_t temporary[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temporary);
  const std::wstring reportPath = std::wstring(temporary) + mode + L"-report.txt";
  DeleteFileW(reportPath.c_str());
  InsideCheck check;
  Program probe(ProbePath(), mode + L" \"" + reportPath + L"\"");
  if (!probe.WaitForExit(kStartTimeoutMs, check.exitCode)) {
    check.report = "the probe did not end";
    return check;
  }
  if (FILE* file = _wfopen(reportPath.c_str(), L"rb")) {
    char line[256];
    while (std::fgets(line, sizeof line, file) != nullptr) check.report += line;
    std::fclose(file);
  }
  return check;
}

TEST(WindowIcons, AreThe32And16PixelImagesOfTheProgramIcon) {
  InsideCheck check = RunInsideCheck(L"icons");
  EXPECT_EQ(check.exitCode, 0u) << check.report;
}

// The program is started as from a desktop: with the system's default error
// mode, not this process's.
TEST(StartUp, SwitchesOffTheSystemBoxesForDrivesWithoutAMedium) {
  InsideCheck check = RunInsideCheck(L"error-mode");
  EXPECT_EQ(check.exitCode, 0u) << check.report;
}

}  // namespace
