// A program built on the real shell, the real Win32 platform and the real
// main window description, with its own handlers in place of the program's.
// The end-to-end driver starts it to see what the shell does in situations
// the program itself never gets into.
//
//   shell_probe fatal          the first tick raises a fatal error (a whole
//                              division by zero), as any failing operation would
//   shell_probe icons REPORT   the first tick checks the main window's icons
//                              from inside the process (another process cannot
//                              ask for them under Wine) and ends with 0 when
//                              they are right, 1 otherwise; what it found goes
//                              to the file REPORT
//   shell_probe error-mode REPORT
//                              the first tick checks that start-up has switched
//                              off the system's boxes for drives without a
//                              medium (SEM_FAILCRITICALERRORS and
//                              SEM_NOOPENFILEERRORBOX), which no other process
//                              can read under Wine; 0 when it has, 1 otherwise
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "monitor/text.h"
#include "platform/win32/win32_platform.h"
#include "shell/program.h"
#include "shell/window_description.h"

namespace {

std::wstring g_reportPath;

// The top-level window this thread made: the main window.
HWND OwnMainWindow() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM result) -> BOOL {
        if (GetParent(window) != nullptr || GetWindow(window, GW_OWNER) != nullptr) return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> mask;  // the AND mask, one bit per pixel, rows padded to 32 bits
};

// Size and transparency mask of an icon; false when it is no icon.
bool Inspect(HICON icon, IconImage& image) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return false;
  BITMAP colour{}, mask{};
  bool ok = GetObjectW(info.hbmMask, sizeof mask, &mask) == sizeof mask;
  if (ok && info.hbmColor != nullptr) {
    ok = GetObjectW(info.hbmColor, sizeof colour, &colour) == sizeof colour;
    image.width = colour.bmWidth;
    image.height = colour.bmHeight;
  } else if (ok) {
    // A monochrome icon keeps its image below its mask in one bitmap.
    image.width = mask.bmWidth;
    image.height = mask.bmHeight / 2;
  }
  if (ok) {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[2];
    } format{};
    format.header.biSize = sizeof format.header;
    format.header.biWidth = image.width;
    format.header.biHeight = image.height;
    format.header.biPlanes = 1;
    format.header.biBitCount = 1;
    format.header.biCompression = BI_RGB;
    image.mask.assign(static_cast<std::size_t>((image.width + 31) / 32 * 4 * image.height), 0);
    HDC screen = GetDC(nullptr);
    ok = GetDIBits(screen, info.hbmMask, 0, static_cast<UINT>(image.height), image.mask.data(),
                   reinterpret_cast<BITMAPINFO*>(&format), DIB_RGB_COLORS) == image.height;
    ReleaseDC(nullptr, screen);
  }
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return ok;
}

void Report(const std::string& text) {
  if (g_reportPath.empty()) return;
  if (FILE* file = _wfopen(g_reportPath.c_str(), L"a")) {
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }
}

// One icon of the window: its size must be `size`, and its shape that of the
// program file's own icon in that size.
bool CheckIcon(HWND window, WPARAM which, const char* name, int size) {
  HICON icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
  IconImage shown;
  if (!Inspect(icon, shown)) {
    Report(std::string(name) + ": no icon\n");
    return false;
  }
  HICON own = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
  IconImage expected;
  bool haveOwn = Inspect(own, expected);
  if (own != nullptr) DestroyIcon(own);
  bool right = shown.width == size && shown.height == size && haveOwn && shown.mask == expected.mask;
  char line[200];
  std::snprintf(line, sizeof line, "%s: %dx%d, %s the program icon's %dx%d shape\n", name, shown.width,
                shown.height, haveOwn && shown.mask == expected.mask ? "has" : "lacks", size, size);
  Report(line);
  return right;
}

void TickRaisingFatalError() { DivideWhole(1, {0}); }

void TickCheckingIcons() {
  HWND window = OwnMainWindow();
  bool big = window != nullptr && CheckIcon(window, ICON_BIG, "large icon", 32);
  bool small = window != nullptr && CheckIcon(window, ICON_SMALL, "small icon", 16);
  if (window == nullptr) Report("no main window\n");
  EndProgram(big && small ? 0 : 1);
}

UINT g_errorModeBeforeStartUp = 0;

void TickCheckingErrorMode() {
  const UINT quiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
  UINT mode = GetErrorMode();
  char line[200];
  std::snprintf(line, sizeof line, "error mode before start-up 0x%X, after 0x%X\n", g_errorModeBeforeStartUp, mode);
  Report(line);
  EndProgram((mode & quiet) == quiet ? 0 : 1);
}

void Nothing() {}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring mode = count > 1 ? arguments[1] : L"";
  if (count > 2) g_reportPath = arguments[2];
  LocalFree(arguments);

  Handler tick = nullptr;
  if (mode == L"fatal") tick = &TickRaisingFatalError;
  if (mode == L"icons") tick = &TickCheckingIcons;
  if (mode == L"error-mode") tick = &TickCheckingErrorMode;
  g_errorModeBeforeStartUp = GetErrorMode();
  if (tick == nullptr) return 2;

  static Program program;
  program.description = &MainWindowDescription();
  program.startWindow = kMainWindowNumber;
  program.handlers = {{"MonitorTick", tick}, {"ToggleMonitoring", &Nothing}};
  Win32Platform platform(instance);
  RunProgram(platform, program);
}
