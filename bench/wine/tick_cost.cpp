// The cost of one monitoring tick of the real program, beside the cost of the
// bare system calls the tick cannot do without, measured alternately in one
// run. The program's window is built by the real shell on the Win32
// platform; once the message loop runs, a one-off thread timer calls
// MonitorTick directly RUNS times, then the program ends as it normally does.
//
//   tick_cost.exe [RUNS]
#include <windows.h>

#include "clock.h"
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

#include "monitor/disk_query.h"
#include "monitor/handlers.h"
#include "platform/win32/win32_platform.h"
#include "shell/disk_space_query.h"
#include "shell/main_window.h"
#include "shell/program.h"
#include "shell/property_access.h"

namespace {

constexpr std::int32_t kCurrentDriveProperty = 8;
int g_runs = 300;

double Microseconds() { return Seconds() * 1e6; }

struct Summary {
  double median;
  double minimum;
  double mean;
};

Summary Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  double sum = 0;
  for (double sample : samples) sum += sample;
  std::size_t middle = samples.size() / 2;
  double median = samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
  return Summary{median, samples.front(), sum / static_cast<double>(samples.size())};
}

void PrintRow(const char* name, const Summary& summary) {
  std::printf("  %-44s median %9.1f us   min %9.1f us   mean %9.1f us\n", name, summary.median, summary.minimum,
              summary.mean);
}

bool FreeSpace(const wchar_t* root) {
  ULARGE_INTEGER freeToCaller, total, totalFree;
  return GetDiskFreeSpaceExW(root, &freeToCaller, &total, &totalFree) != 0;
}

// The drive scan of one tick: the drive list, each drive's kind, and the
// removable drives queried until one answers.
void BareDriveScan() {
  wchar_t buffer[260];
  DWORD length = GetLogicalDriveStringsW(260, buffer);
  for (const wchar_t* root = buffer; length > 0 && *root != L'\0'; root += std::wcslen(root) + 1) {
    if (GetDriveTypeW(root) != DRIVE_REMOVABLE) continue;
    if (FreeSpace(root)) break;
  }
}

// Everything one tick asks of the system to learn its figures.
void BareTick(const wchar_t* chosenRoot) {
  BareDriveScan();
  FreeSpace(chosenRoot);  // the total
  FreeSpace(chosenRoot);  // the free space
}

void Measure() {
  OwnedText drive(TextFromSlot(ReadProperty(kMainWindowNumber, kAllDrivesBoxNumber, kCurrentDriveProperty,
                                            kWholeValue)));
  wchar_t chosenRoot[] = L"C:\\";
  chosenRoot[0] = static_cast<wchar_t>(DriveLetterOf(drive.OrEmpty()));
  int drives = 0;
  int removable = 0;
  {
    wchar_t buffer[260];
    DWORD length = GetLogicalDriveStringsW(260, buffer);
    for (const wchar_t* root = buffer; length > 0 && *root != L'\0'; root += std::wcslen(root) + 1) {
      ++drives;
      if (GetDriveTypeW(root) == DRIVE_REMOVABLE) ++removable;
    }
  }

  HWND mainWindow = reinterpret_cast<HWND>(TheShell().FindWindowRecord(kMainWindowNumber)->window->handle());
  // Paints now what the tick invalidated, as the loop would after it.
  auto paintNow = [mainWindow] { RedrawWindow(mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); };

  MonitorTick();  // once untimed: the first call pays for loading and caching
  paintNow();
  BareTick(chosenRoot);

  // Alternated sample by sample, so that drift in the machine's load hits all alike.
  std::vector<double> ticks, paints, bares;
  for (int run = 0; run < g_runs; ++run) {
    double start = Microseconds();
    MonitorTick();
    double afterTick = Microseconds();
    paintNow();
    double afterPaint = Microseconds();
    BareTick(chosenRoot);
    double end = Microseconds();
    ticks.push_back(afterTick - start);
    paints.push_back(afterPaint - afterTick);
    bares.push_back(end - afterPaint);
  }

  // The parts of the bare calls, one at a time, and one of the tick's own
  // caption writes, which rewrites the text the label already shows.
  constexpr std::int32_t kLabelCaption = 8;
  OwnedText shown(TextFromSlot(ReadProperty(kMainWindowNumber, kTotalSpaceLabelNumber, kLabelCaption, kWholeValue)));
  std::vector<double> driveStrings, driveType, diskFree, captionWrites;
  for (int run = 0; run < g_runs; ++run) {
    double beforeWrite = Microseconds();
    WriteProperty(kMainWindowNumber, kTotalSpaceLabelNumber, kLabelCaption, kWholeValue, SlotFromText(shown.Get()));
    captionWrites.push_back(Microseconds() - beforeWrite);
    paintNow();

    wchar_t buffer[260];
    double start = Microseconds();
    GetLogicalDriveStringsW(260, buffer);
    double afterStrings = Microseconds();
    GetDriveTypeW(chosenRoot);
    double afterType = Microseconds();
    FreeSpace(chosenRoot);
    double end = Microseconds();
    driveStrings.push_back(afterStrings - start);
    driveType.push_back(afterType - afterStrings);
    diskFree.push_back(end - afterType);
  }

  Summary tick = Summarise(ticks);
  Summary bare = Summarise(bares);
  std::printf("One monitoring tick (%d runs; chosen drive %lc:, %d drives listed, %d removable):\n", g_runs,
              chosenRoot[0], drives, removable);
  PrintRow("MonitorTick()", tick);
  PrintRow("bare system calls of one tick", bare);
  std::printf("  ratio MonitorTick/bare: median %.3f, min %.3f; the program's own share: %.1f us (median)\n",
              tick.median / bare.median, tick.minimum / bare.minimum, tick.median - bare.median);
  PrintRow("painting what the tick invalidated", Summarise(paints));
  std::printf("Parts, one at a time:\n");
  PrintRow("GetLogicalDriveStringsW", Summarise(driveStrings));
  PrintRow("GetDriveTypeW (chosen drive)", Summarise(driveType));
  PrintRow("GetDiskFreeSpaceExW (chosen drive)", Summarise(diskFree));
  PrintRow("one label caption write, same text", Summarise(captionWrites));
  std::fflush(stdout);
}

void CALLBACK MeasureOnce(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  Measure();
  EndProgram(0);
}

// Runs before the window is built; the timer fires once the loop runs.
void ArmMeasurement() { SetTimer(nullptr, 0, 1, &MeasureOnce); }

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // plain \n line ends on the Linux side
  if (argc > 1) g_runs = std::max(1, std::atoi(argv[1]));
  static Program program = DiskSpaceQueryProgram();
  program.startHook = &ArmMeasurement;
  Win32Platform platform(GetModuleHandleW(nullptr));
  RunProgram(platform, program);
}
