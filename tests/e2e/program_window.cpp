#include "program_window.h"

#include <vector>

namespace e2e {

std::wstring ProgramPath() { return EnvironmentVariable(L"DSQ_E2E_PROGRAM"); }

DriveFigures FiguresOf(wchar_t letter) {
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  ULARGE_INTEGER freeToCaller{}, total{}, totalFree{};
  DriveFigures figures;
  figures.answered = GetDiskFreeSpaceExW(root, &freeToCaller, &total, &totalFree) != 0;
  figures.totalKib = total.QuadPart >> 10;
  figures.freeKib = freeToCaller.QuadPart >> 10;
  return figures;
}

bool ParseReadOut(const std::wstring& text, const std::wstring& closing, ULONGLONG& kib, ULONGLONG& gib) {
  std::size_t kbAt = text.find(L"KB（");
  if (kbAt == 0 || kbAt == std::wstring::npos) return false;
  if (text.size() < kbAt + 3 + closing.size() || text.compare(text.size() - closing.size(), closing.size(), closing)) {
    return false;
  }
  std::wstring kibDigits = text.substr(0, kbAt);
  std::wstring gibDigits = text.substr(kbAt + 3, text.size() - closing.size() - kbAt - 3);
  if (gibDigits.empty()) return false;
  for (const std::wstring* digits : {&kibDigits, &gibDigits}) {
    for (wchar_t c : *digits) {
      if (c < L'0' || c > L'9') return false;
    }
  }
  kib = std::stoull(kibDigits);
  gib = std::stoull(gibDigits);
  return true;
}

std::wstring TotalReadOut(ULONGLONG kib) {
  return std::to_wstring(kib) + L"KB（" + std::to_wstring(kib / 1024 / 1024) + L"GB ）";
}

bool ReadOutsShow(HWND window, wchar_t letter, std::string& why) {
  std::wstring total = WindowText(ChildById(window, kTotalReadOutId));
  std::wstring free = WindowText(ChildById(window, kFreeReadOutId));
  DriveFigures figures = FiguresOf(letter);
  why = "drive " + Narrow(std::wstring(1, letter)) + ": total read-out \"" + Narrow(total) +
        "\", free read-out \"" + Narrow(free) + "\"";
  if (!figures.answered) {
    why += ", expected both to read \"0KB(0GB)\"";
    return total == kQueryFailed && free == kQueryFailed;
  }
  why += ", expected \"" + Narrow(TotalReadOut(figures.totalKib)) + "\" and about " +
         std::to_string(figures.freeKib) + "KB free";
  ULONGLONG kib = 0, gib = 0;
  if (total != TotalReadOut(figures.totalKib) || !ParseReadOut(free, L"GB）", kib, gib)) return false;
  ULONGLONG tolerance = figures.totalKib / 100 > (256u << 10) ? figures.totalKib / 100 : (256u << 10);
  ULONGLONG difference = kib > figures.freeKib ? kib - figures.freeKib : figures.freeKib - kib;
  // The two figures of one read-out come from separate queries.
  ULONGLONG gibOfKib = kib / 1024 / 1024;
  return difference <= tolerance && gib + 1 >= gibOfKib && gib <= gibOfKib + 1;
}

::testing::AssertionResult ReadOutsComeToShow(HWND window, wchar_t letter) {
  std::string why;
  if (WaitUntil([&] { return ReadOutsShow(window, letter, why); })) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << why;
}

::testing::AssertionResult TextComesToBe(HWND control, const std::wstring& expected, DWORD timeoutMs) {
  if (WaitUntil([&] { return WindowText(control) == expected; }, timeoutMs)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "control " << ControlId(control) << " reads \""
                                       << Narrow(WindowText(control)) << "\", not \"" << Narrow(expected) << "\"";
}

RunningWindow::RunningWindow(const std::wstring& exe, const std::wstring& arguments, const std::wstring& directory)
    : program_(exe, arguments, directory) {
  if (!program_.started()) return;
  window_ = program_.WaitForWindow(kTitle, kRemovableDrivesId);
  if (window_ == nullptr) return;
  for (int id = kTimerId; id <= kRemovableDrivesId; id += 10) {
    HWND child = ChildById(window_, id);
    firstTexts_[id] = child != nullptr ? WindowText(child) : L"<no control>";
  }
}

::testing::AssertionResult RunningWindow::Ready() {
  if (window_ == nullptr) return ::testing::AssertionFailure() << "the program's window did not appear";
  if (WaitUntil([&] {
        return IsWindowVisible(window_) && program_.ActiveWindow() == window_ && GetForegroundWindow() == window_ &&
               program_.Focus() != nullptr;
      })) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "the program's window did not become the active window";
}

int RunningWindow::FocusedId() const {
  HWND focus = program_.Focus();
  return focus != nullptr && GetParent(focus) == window_ ? ControlId(focus) : 0;
}

::testing::AssertionResult RunningWindow::FocusComesTo(int id) {
  if (WaitUntil([&] { return FocusedId() == id; })) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the focus is on control " << FocusedId() << ", not on " << id;
}

::testing::AssertionResult RunningWindow::MoveFocusTo(int id) {
  for (int presses = 0; presses < 3 && FocusedId() != id; ++presses) {
    int before = FocusedId();
    PressKey(VK_TAB);
    WaitUntil([&] { return FocusedId() != before; });
  }
  return FocusComesTo(id);
}

::testing::AssertionResult RunningWindow::ChooseDrive(wchar_t letter) {
  ::testing::AssertionResult focused = MoveFocusTo(kAllDrivesId);
  if (!focused) return focused;
  HWND selector = control(kAllDrivesId);
  auto dropped = [&] { return SendMessageW(selector, CB_GETDROPPEDSTATE, 0, 0) != 0; };
  PressKey(VK_F4);
  if (!WaitUntil(dropped)) return ::testing::AssertionFailure() << "F4 did not open the drive list";
  PressKey(static_cast<WORD>(letter));
  auto chosen = [&] {
    int selection = ComboSelection(selector);
    return selection >= 0 && SendMessageW(selector, CB_GETITEMDATA, static_cast<WPARAM>(selection), 0) == letter;
  };
  if (!WaitUntil(chosen)) return ::testing::AssertionFailure() << "typing the letter did not pick its drive";
  if (dropped()) PressKey(VK_RETURN);
  if (!WaitUntil([&] { return !dropped(); })) return ::testing::AssertionFailure() << "the list stayed open";
  if (!chosen()) return ::testing::AssertionFailure() << "the choice did not stay";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult RunningWindow::ClickMonitorButton(const std::wstring& caption) {
  ClickOn(control(kMonitorButtonId));
  return TextComesToBe(control(kMonitorButtonId), caption);
}

::testing::AssertionResult RunningWindow::AloneOnScreen() {
  std::vector<HWND> shown = program_.VisibleTopLevelWindows();
  if (shown.size() == 1 && shown.front() == window_) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure() << "the program shows " << shown.size() << " windows:";
  for (HWND window : shown) failure << " \"" << Narrow(WindowText(window)) << "\" (" << Narrow(ClassOf(window)) << ")";
  return failure;
}

}  // namespace e2e
