// Starts two programs alternately, times each from CreateProcessW until its
// top-level window is visible, closes it and waits for it to end; prints the
// median and minimum of each and the ratio of the second to the first.
//
//   startup_timer.exe RUNS BASELINE_EXE PROGRAM_EXE
#include <windows.h>

#include "clock.h"
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleWindowOf(DWORD processId) {
  Search search{processId, nullptr};
  EnumWindows(&CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Milliseconds until the window showed, or a negative number on failure.
double TimeOneStart(const std::wstring& exe) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  double start = Seconds();
  if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
    return -1;
  }
  HWND window = nullptr;
  double elapsed = 0;
  // Polled about every millisecond; a program that ends or takes 30 s fails.
  while ((window = VisibleWindowOf(process.dwProcessId)) == nullptr) {
    elapsed = Seconds() - start;
    if (elapsed > 30 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  elapsed = Seconds() - start;
  if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "%ls did not end after WM_CLOSE\n", exe.c_str());
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return window != nullptr ? elapsed * 1000 : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Report(const char* name, const std::vector<double>& times) {
  std::printf("  %-8s median %7.1f ms   min %7.1f ms   max %7.1f ms   (%zu runs)\n", name, Median(times),
              *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()),
              times.size());
}

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);  // plain \n line ends on the Linux side
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count != 4) {
    std::fprintf(stderr, "usage: startup_timer.exe RUNS BASELINE_EXE PROGRAM_EXE\n");
    return 2;
  }
  int runs = std::max(1, _wtoi(arguments[1]));
  const std::wstring exes[2] = {arguments[2], arguments[3]};

  // One untimed start of each first: the first start in a prefix loads more.
  for (const std::wstring& exe : exes) {
    if (TimeOneStart(exe) < 0) return 1;
  }
  std::vector<double> times[2];
  for (int run = 0; run < runs; ++run) {
    for (int which = 0; which < 2; ++which) {
      double milliseconds = TimeOneStart(exes[which]);
      if (milliseconds < 0) return 1;
      times[which].push_back(milliseconds);
    }
  }
  std::printf("Start-up until the window is visible (CreateProcessW to IsWindowVisible):\n");
  Report("minimal", times[0]);
  Report("program", times[1]);
  std::printf("  ratio program/minimal: median %.2f, min %.2f\n", Median(times[1]) / Median(times[0]),
              *std::min_element(times[1].begin(), times[1].end()) /
                  *std::min_element(times[0].begin(), times[0].end()));
  std::fflush(stdout);
  return 0;
}
