// The program as the end-to-end tests and the soak see it from another
// process: its texts and controls, the read-outs checked against what the
// system says of a drive, and a running copy with its main window.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "e2e_support.h"

namespace e2e {

inline const std::wstring kTitle = L"硬盘空间查询";
inline const std::wstring kDetecting = L"检测中ing";
inline const std::wstring kStopMonitoring = L"停止监控";
inline const std::wstring kStartMonitoring = L"开启监控";
inline const std::wstring kInserted = L"U盘已插入";
inline const std::wstring kNotInserted = L"没有U盘插入";
inline const std::wstring kQueryFailed = L"0KB(0GB)";

// Child-window identifiers of the controls.
enum : int {
  kTimerId = 100,
  kUsbQuestionId = 110,
  kUsbIndicatorId = 120,
  kAllPartitionsCaptionId = 130,
  kAllDrivesId = 140,
  kTotalCaptionId = 150,
  kFreeCaptionId = 160,
  kTotalReadOutId = 170,
  kFreeReadOutId = 180,
  kMonitorButtonId = 190,
  kRemovableDrivesId = 200,
};

// The Windows path of the program under test (DSQ_E2E_PROGRAM).
std::wstring ProgramPath();

// Disk figures as the system gives them to this process.
struct DriveFigures {
  bool answered = false;
  ULONGLONG totalKib = 0;
  ULONGLONG freeKib = 0;
};
DriveFigures FiguresOf(wchar_t letter);

// "<KiB>KB（<GiB>" followed by `closing`, with nothing else around it.
bool ParseReadOut(const std::wstring& text, const std::wstring& closing, ULONGLONG& kib, ULONGLONG& gib);
// The total read-out of a drive of `kib` kibibytes.
std::wstring TotalReadOut(ULONGLONG kib);

// Whether the two size read-outs show drive `letter`: the total exactly, the
// free space within what other processes may have written meanwhile, and
// "0KB(0GB)" for both when the drive cannot be asked. `why` says what differs.
bool ReadOutsShow(HWND window, wchar_t letter, std::string& why);
// Waits until the read-outs show drive `letter` (see ReadOutsShow).
::testing::AssertionResult ReadOutsComeToShow(HWND window, wchar_t letter);
::testing::AssertionResult TextComesToBe(HWND control, const std::wstring& expected,
                                         DWORD timeoutMs = kEventTimeoutMs);

// A running copy of the program with its main window.
class RunningWindow {
 public:
  // Starts the program and waits until its window exists with all its controls.
  // The controls' texts are read at once, before the first tick can change them.
  explicit RunningWindow(const std::wstring& exe = ProgramPath(), const std::wstring& arguments = L"",
                         const std::wstring& directory = L"");

  // Waits until the window is shown, active and holds the keyboard focus.
  ::testing::AssertionResult Ready();

  HWND window() const { return window_; }
  HWND control(int id) const { return ChildById(window_, id); }
  Program& program() { return program_; }
  const std::wstring& FirstText(int id) { return firstTexts_[id]; }
  // The control of the window that holds the focus; 0 when none does.
  int FocusedId() const;

  ::testing::AssertionResult FocusComesTo(int id);
  // Presses Tab until the focus is on control `id`.
  ::testing::AssertionResult MoveFocusTo(int id);
  // Confirms the drive `letter` in the all-partitions selector as a user does:
  // F4 opens the list, the letter picks the item, Enter confirms and closes it.
  ::testing::AssertionResult ChooseDrive(wchar_t letter);
  // Clicks the monitoring button and waits for its caption to become `caption`.
  ::testing::AssertionResult ClickMonitorButton(const std::wstring& caption);
  // Only the main window of the program is on screen: no box of any kind.
  ::testing::AssertionResult AloneOnScreen();

 private:
  Program program_;
  HWND window_ = nullptr;
  std::map<int, std::wstring> firstTexts_;
};

}  // namespace e2e
