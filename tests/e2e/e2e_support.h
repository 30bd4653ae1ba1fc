// What the end-to-end tests and the soak need to drive a Windows program from
// another process: start it, find its window and controls, read them, press
// keys, click, and ask the host (the script that runs the driver) to act
// outside Windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Generous limits: they only keep a broken program from hanging the run.
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kEventTimeoutMs = 10000;

// A variable of the test environment; empty when unset.
std::wstring EnvironmentVariable(const wchar_t* name);

// Polls `condition` every few milliseconds until it holds or `timeoutMs` pass.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kEventTimeoutMs);

std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);
int ControlId(HWND window);
LONG_PTR Style(HWND window);
LONG_PTR ExtendedStyle(HWND window);
// The window's rectangle in the client coordinates of its parent.
RECT RectInParent(HWND window);
// The direct children of `parent`, from the top of the stacking order down.
std::vector<HWND> ChildrenTopDown(HWND parent);
HWND ChildById(HWND parent, int id);

struct ComboItem {
  std::wstring text;
  std::uintptr_t data;
  bool operator==(const ComboItem& other) const { return text == other.text && data == other.data; }
};
std::vector<ComboItem> ComboItems(HWND combo);
int ComboSelection(HWND combo);
// The combo box with its list, in the client coordinates of its parent.
RECT ComboDroppedRect(HWND combo);

// A program under test, ended when this goes away if it still runs.
class Program {
 public:
  // Starts `exe` with `arguments` in the current directory `directory`
  // (empty: the caller's own) and the system's default error mode, as a
  // program started from the desktop.
  Program(const std::wstring& exe, const std::wstring& arguments = L"", const std::wstring& directory = L"");
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD processId() const { return processId_; }
  DWORD threadId() const { return threadId_; }
  HANDLE process() const { return process_; }

  // The visible, unowned top-level windows of the process titled `title`.
  std::vector<HWND> TopLevelWindows(const std::wstring& title) const;
  // Every visible top-level window of the process.
  std::vector<HWND> VisibleTopLevelWindows() const;
  // Every top-level window of the process of the class `className`, shown or
  // not, owned or not ("#32770" for the system's boxes and dialogs).
  std::vector<HWND> TopLevelWindowsOfClass(const std::wstring& className) const;
  // Waits for the one top-level window titled `title` whose child with the
  // identifier `lastChildId` exists; null on time-out.
  HWND WaitForWindow(const std::wstring& title, int lastChildId, DWORD timeoutMs = kStartTimeoutMs) const;

  bool Running() const;
  // Waits for the process to end; false on time-out.
  bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) const;

  HWND Focus() const;
  HWND ActiveWindow() const;

 private:
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD processId_ = 0;
  DWORD threadId_ = 0;
};

// Input as the user makes it (SendInput); it goes to the foreground window.
struct Modifiers {
  bool shift = false;
  bool alt = false;
};
void PressKey(WORD key, Modifiers modifiers = {});
// Moves the mouse to the middle of `window` and clicks the left button there.
void ClickOn(HWND window);
// Moves the mouse to the screen point and clicks the left button there.
void ClickAt(POINT point);

// Asks the host to do `request` (one line: a command and its arguments) and
// waits for its answer; true when the host reports success.
bool AskHost(const std::string& request, DWORD timeoutMs = kEventTimeoutMs);
// The same for a request the host answers with a line of figures, which go to `reply`.
bool AskHost(const std::string& request, std::string& reply, DWORD timeoutMs = kEventTimeoutMs);

std::string Narrow(const std::wstring& text);  // UTF-8, for messages

}  // namespace e2e
