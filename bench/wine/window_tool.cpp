// Finds the program's window from outside and works its button, for the
// idle-cost measurement.
//
//   window_tool.exe wait            waits (up to 60 s) until the window is visible
//   window_tool.exe stop            clicks the monitoring button if it reads 停止监控
//   window_tool.exe close           sends WM_CLOSE and waits (up to 10 s) for the program to end
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

const wchar_t kWindowClass[] = L"DiskSpaceQuery.Window";
constexpr int kMonitorButtonId = 190;
const wchar_t kStopCaption[] = L"\x505C\x6B62\x76D1\x63A7";   // 停止监控: monitoring runs
const wchar_t kStartCaption[] = L"\x5F00\x542F\x76D1\x63A7";  // 开启监控: monitoring stopped

HWND ProgramWindow() {
  HWND window = FindWindowW(kWindowClass, nullptr);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

bool CaptionIs(HWND button, const wchar_t* expected) {
  wchar_t caption[64] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(button, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(caption), SMTO_ABORTIFHUNG, 5000, &length);
  return std::wcscmp(caption, expected) == 0;
}

int Wait() {
  for (int waited = 0; waited < 60000; waited += 10) {
    if (ProgramWindow() != nullptr) return 0;
    Sleep(10);
  }
  std::fprintf(stderr, "the program's window did not show\n");
  return 1;
}

int Stop() {
  HWND window = ProgramWindow();
  HWND button = window != nullptr ? GetDlgItem(window, kMonitorButtonId) : nullptr;
  if (button == nullptr) {
    std::fprintf(stderr, "no monitoring button\n");
    return 1;
  }
  if (!CaptionIs(button, kStopCaption)) {
    std::fprintf(stderr, "the button does not offer to stop monitoring\n");
    return 1;
  }
  DWORD_PTR result = 0;
  SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  if (!CaptionIs(button, kStartCaption)) {
    // The button's own click did not arrive: post the notification it sends.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(kMonitorButtonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    Sleep(200);
  }
  if (!CaptionIs(button, kStartCaption)) {
    std::fprintf(stderr, "monitoring did not stop\n");
    return 1;
  }
  std::printf("monitoring stopped: the button now offers to start it\n");
  return 0;
}

int Close() {
  HWND window = ProgramWindow();
  if (window == nullptr) return 1;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD waited = process != nullptr ? WaitForSingleObject(process, 10000) : WAIT_FAILED;
  if (process != nullptr) CloseHandle(process);
  return waited == WAIT_OBJECT_0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // plain \n line ends on the Linux side
  if (argc == 2 && std::strcmp(argv[1], "wait") == 0) return Wait();
  if (argc == 2 && std::strcmp(argv[1], "stop") == 0) return Stop();
  if (argc == 2 && std::strcmp(argv[1], "close") == 0) return Close();
  std::fprintf(stderr, "usage: window_tool.exe wait|stop|close\n");
  return 2;
}
