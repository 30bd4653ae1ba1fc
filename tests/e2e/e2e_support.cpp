#include "e2e_support.h"

#include <cstdio>

namespace e2e {

std::wstring EnvironmentVariable(const wchar_t* name) {
  DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) return std::wstring();
  std::wstring value(needed, L'\0');
  DWORD length = GetEnvironmentVariableW(name, &value[0], needed);
  value.resize(length < needed ? length : 0);
  return value;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    // Windows of this process (a test may make one) answer while it waits.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
}

std::wstring WindowText(HWND window) {
  // Through WM_GETTEXT, which reaches another process's window.
  wchar_t text[512] = L"";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                           &length)) {
    return L"<no answer>";
  }
  return std::wstring(text, length < 512 ? length : 511);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = L"";
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

int ControlId(HWND window) { return GetDlgCtrlID(window); }

LONG_PTR Style(HWND window) { return GetWindowLongPtrW(window, GWL_STYLE); }

LONG_PTR ExtendedStyle(HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE); }

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::vector<HWND> ChildrenTopDown(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND ChildById(HWND parent, int id) {
  // Looked up by the system, not by walking the stacking order, which the
  // program may be rearranging at this moment.
  return GetDlgItem(parent, id);
}

std::vector<ComboItem> ComboItems(HWND combo) {
  std::vector<ComboItem> items;
  LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length >= 0 && length < 256) {
      SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    }
    auto data = static_cast<std::uintptr_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    items.push_back(ComboItem{text, data});
  }
  return items;
}

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

RECT ComboDroppedRect(HWND combo) {
  // The answer is in screen coordinates and has to be written across the
  // process boundary: Windows copies the rectangle back for this message.
  RECT rect{};
  SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&rect));
  MapWindowPoints(HWND_DESKTOP, GetParent(combo), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

Program::Program(const std::wstring& exe, const std::wstring& arguments, const std::wstring& directory) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // With the system's default error mode, as a program started from the desktop.
  if (CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr,
                     directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    process_ = info.hProcess;
    thread_ = info.hThread;
    processId_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
  } else {
    std::fprintf(stderr, "cannot start %s: error %lu\n", Narrow(exe).c_str(), GetLastError());
  }
}

Program::~Program() {
  if (process_ == nullptr) return;
  if (Running()) {
    TerminateProcess(process_, 0xDEAD);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(thread_);
  CloseHandle(process_);
}

namespace {

struct WindowSearch {
  DWORD processId;
  const std::wstring* title;  // null: any title
  bool unownedOnly;
  std::vector<HWND> found;
  const std::wstring* className = nullptr;  // null: visible windows of any class
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  if (search->className != nullptr ? ClassOf(window) != *search->className : !IsWindowVisible(window)) return TRUE;
  if (search->unownedOnly && GetWindow(window, GW_OWNER) != nullptr) return TRUE;
  if (search->title != nullptr && WindowText(window) != *search->title) return TRUE;
  search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> Program::TopLevelWindows(const std::wstring& title) const {
  WindowSearch search{processId_, &title, true, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> Program::VisibleTopLevelWindows() const {
  WindowSearch search{processId_, nullptr, false, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> Program::TopLevelWindowsOfClass(const std::wstring& className) const {
  WindowSearch search{processId_, nullptr, false, {}, &className};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Program::WaitForWindow(const std::wstring& title, int lastChildId, DWORD timeoutMs) const {
  HWND window = nullptr;
  // Visible or not: the controls exist (with their first texts) before the
  // window is shown, and the test may want them at once.
  WaitUntil(
      [&] {
        HWND candidate = nullptr;
        while ((candidate = FindWindowExW(nullptr, candidate, nullptr, title.c_str())) != nullptr) {
          DWORD owner = 0;
          GetWindowThreadProcessId(candidate, &owner);
          if (owner == processId_ && ChildById(candidate, lastChildId) != nullptr) {
            window = candidate;
            return true;
          }
        }
        return !Running();
      },
      timeoutMs);
  return window;
}

bool Program::Running() const { return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool Program::WaitForExit(DWORD timeoutMs, DWORD& exitCode) const {
  if (process_ == nullptr || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(process_, &exitCode) != 0;
}

HWND Program::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId_, &info) ? info.hwndFocus : nullptr;
}

HWND Program::ActiveWindow() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId_, &info) ? info.hwndActive : nullptr;
}

namespace {

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT MouseInput(DWORD flags, LONG x = 0, LONG y = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = x;
  input.mi.dy = y;
  input.mi.dwFlags = flags;
  return input;
}

}  // namespace

void PressKey(WORD key, Modifiers modifiers) {
  std::vector<INPUT> inputs;
  if (modifiers.shift) inputs.push_back(KeyInput(VK_SHIFT, false));
  if (modifiers.alt) inputs.push_back(KeyInput(VK_MENU, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  if (modifiers.alt) inputs.push_back(KeyInput(VK_MENU, true));
  if (modifiers.shift) inputs.push_back(KeyInput(VK_SHIFT, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClickOn(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void ClickAt(POINT point) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  LONG x = point.x * 65535 / (width - 1);
  LONG y = point.y * 65535 / (height - 1);
  INPUT inputs[] = {MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y), MouseInput(MOUSEEVENTF_LEFTDOWN),
                    MouseInput(MOUSEEVENTF_LEFTUP)};
  SendInput(3, inputs, sizeof(INPUT));
}

bool AskHost(const std::string& request, DWORD timeoutMs) {
  std::string reply;
  return AskHost(request, reply, timeoutMs);
}

bool AskHost(const std::string& request, std::string& reply, DWORD timeoutMs) {
  static int counter = 0;
  reply.clear();
  std::wstring folder = EnvironmentVariable(L"DSQ_E2E_HOST");
  if (folder.empty()) return false;
  std::wstring base = folder + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
  {
    // Written under another name first, so the host never reads half a request.
    FILE* partial = _wfopen((base + L".partial").c_str(), L"wb");
    if (partial == nullptr) return false;
    std::fprintf(partial, "%s\n", request.c_str());
    std::fclose(partial);
  }
  if (!MoveFileW((base + L".partial").c_str(), (base + L".request").c_str())) return false;
  std::wstring answer = base + L".done";
  if (!WaitUntil([&] { return GetFileAttributesW(answer.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs)) {
    return false;
  }
  // The status on the first line, the reply (if any) on the second.
  char status[16] = "", line[256] = "";
  if (FILE* done = _wfopen(answer.c_str(), L"rb")) {
    std::fgets(status, sizeof status, done);
    if (std::fgets(line, sizeof line, done) != nullptr) reply = line;
    std::fclose(done);
  }
  DeleteFileW(answer.c_str());
  while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.pop_back();
  return std::string(status).rfind("ok", 0) == 0;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], size, nullptr, nullptr);
  return narrow;
}

}  // namespace e2e
