// The soak: the real program runs for a long stretch while its drives change
// under it, and is driven the way a user does (choosing drives with the
// keyboard, clicking the monitoring button). After every change the read-outs
// must come to show what the system says of the chosen drive, and the
// indicator whether a removable drive holds a medium; while monitoring is off
// they must stand still. No box may appear and the program must keep running.
// Every few seconds its memory, handles and GDI objects are sampled; once it
// has warmed up they must not grow.
//
//   soak_driver SECONDS WARM_UP_SECONDS SEED
//
// The runner (soak.sh) makes the drives of the "with-removable" layout (see
// tests/e2e/host_side.sh) and passes, in the environment:
//   DSQ_E2E_PROGRAM   Windows path of DiskSpaceQuery.exe
//   DSQ_E2E_HOST      shared folder for requests to the host, which answers
//                     "unplug X", "plug X", "eject X", "insert X" and
//                     "memory NAME" (VmRSS and VmSize of the program in KiB)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"  // kLiveGdiObjectsMessage
#include "program_window.h"

using namespace e2e;

namespace {

// ---------------------------------------------------------------------------
// What the system says.

// Whether some removable drive holds a medium: what the indicator must say.
bool SomeRemovableDriveHoldsAMedium() {
  wchar_t roots[512] = L"";
  DWORD length = GetLogicalDriveStringsW(512, roots);
  if (length == 0 || length >= 512) return false;
  for (const wchar_t* root = roots; *root != L'\0'; root += wcslen(root) + 1) {
    if (GetDriveTypeW(root) == DRIVE_REMOVABLE && FiguresOf(root[0]).answered) return true;
  }
  return false;
}

// The handles the process holds, counted in the system's handle table:
// GetProcessHandleCount answers 0 for every process under Wine 8.
struct HandleEntry {
  PVOID object;
  ULONG_PTR processId;
  ULONG_PTR handle;
  ULONG grantedAccess;
  USHORT creatorBackTraceIndex;
  USHORT objectTypeIndex;
  ULONG attributes;
  ULONG reserved;
};
struct HandleTable {
  ULONG_PTR count;
  ULONG_PTR reserved;
  HandleEntry entries[1];
};
extern "C" LONG NTAPI NtQuerySystemInformation(int informationClass, PVOID information, ULONG length,
                                               PULONG returned);
constexpr int kSystemExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

long long HandlesOf(DWORD processId) {
  static std::vector<BYTE> buffer(1 << 20);
  for (int attempt = 0; attempt < 8; ++attempt) {
    ULONG needed = 0;
    LONG status = NtQuerySystemInformation(kSystemExtendedHandleInformation, buffer.data(),
                                           static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch) {
      buffer.resize(std::max<std::size_t>(needed + 4096, buffer.size() * 2));
      continue;
    }
    if (status != 0) return -1;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    long long count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i) count += table->entries[i].processId == processId ? 1 : 0;
    return count;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Samples of the program's resources.

struct Sample {
  double seconds = 0;
  bool warm = false;             // taken after the warm-up
  long long rssKib = -1;         // VmRSS of its Linux process
  long long vmSizeKib = -1;      // VmSize of its Linux process
  long long workingSetKib = -1;  // GetProcessMemoryInfo
  long long pagefileKib = -1;    // GetProcessMemoryInfo
  long long handles = -1;
  long long gdiObjects = -1;  // the program's own count (kLiveGdiObjectsMessage)
};

struct Column {
  const char* name;
  long long Sample::*field;
};
const Column kColumns[] = {{"VmRSS KiB", &Sample::rssKib},         {"VmSize KiB", &Sample::vmSizeKib},
                           {"WorkingSet KiB", &Sample::workingSetKib}, {"Pagefile KiB", &Sample::pagefileKib},
                           {"handles", &Sample::handles},            {"GDI objects", &Sample::gdiObjects}};

void PrintRow(const Sample& sample, const char* mark) {
  std::printf("%8.0f %-7s", sample.seconds, mark);
  for (const Column& column : kColumns) std::printf(" %14lld", sample.*column.field);
  std::printf("\n");
  std::fflush(stdout);
}

void PrintHeader() {
  std::printf("%8s %-7s", "time s", "");
  for (const Column& column : kColumns) std::printf(" %14s", column.name);
  std::printf("\n");
}

long long Median(std::vector<long long> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// ---------------------------------------------------------------------------
// The soak.

// A drive the host can change: its mapping (the letter) and its medium.
struct ChangeableDrive {
  wchar_t letter;
  bool canLoseMedium;
  bool mapped = true;
  bool medium = true;
  bool Answers() const { return mapped && medium; }
};

class Soak {
 public:
  Soak(RunningWindow& running, DWORD seconds, DWORD warmUpSeconds, unsigned seed)
      : running_(running),
        seconds_(seconds),
        warmUpMs_(warmUpSeconds * 1000ull),
        random_(seed),
        gdiMessage_(RegisterWindowMessageW(kLiveGdiObjectsMessage)) {
    sampleMs_ = std::min<ULONGLONG>(5000, std::max<ULONGLONG>(2000, seconds * 10ull));
    printMs_ = std::max<ULONGLONG>(sampleMs_, (seconds * 1000ull / 15 + sampleMs_ - 1) / sampleMs_ * sampleMs_);
  }

  // Runs the changes until the time is up; false at the first thing found wrong.
  bool Run() {
    start_ = GetTickCount64();
    deadline_ = start_ + seconds_ * 1000ull;
    PrintHeader();
    if (!Check(ExpectTruth("at start")) || !Watch(500)) return false;
    // First every kind of change once, in an order that exercises each path,
    // then changes at random until the time is up.
    const Step firstPass[] = {Step::ChooseD,   Step::PullD,  Step::RestoreD,  Step::ChooseE,   Step::EjectE,
                              Step::InsertE,   Step::PullE,  Step::PlugE,     Step::ChooseN,   Step::StopAndStart,
                              Step::ChooseF,   Step::ChooseC};
    for (Step step : firstPass) {
      if (!Do(step) || !Watch(Pause(400, 1000))) return false;
    }
    firstPassDone_ = true;
    while (GetTickCount64() < deadline_) {
      if (!Do(RandomStep()) || !Watch(Pause(800, 3000))) return false;
    }
    return Watch(0) && TakeSample(true);
  }

  // Prints the summary and judges the samples; false when something grew.
  bool Summarise(bool ranThrough) {
    double elapsed = static_cast<double>(GetTickCount64() - start_) / 1000.0;
    std::printf("\nSummary\n");
    std::printf("  duration            %.0f s (warm-up %.0f s)\n", elapsed, static_cast<double>(warmUpEnd_) / 1000);
    std::printf("  changes             %d: %d drive changes (the chosen drive vanished %d times), %d drives chosen,"
                " %d stops and starts of monitoring\n",
                driveChanges_ + choices_ + toggles_, driveChanges_, chosenVanished_, choices_, toggles_);
    std::printf("  checks              %d read-out checks against the truth, %d stand-still checks while stopped,"
                " %d box and process checks, %zu samples\n",
                truthChecks_, standStillChecks_, boxChecks_, samples_.size());
    std::printf("  GetProcessHandleCount of the program answers %lld (Wine gives no figure); handles are counted"
                " in the system handle table\n", processHandleCount_);
    if (samples_.empty()) return false;
    std::vector<const Sample*> warm;
    for (const Sample& sample : samples_) {
      if (sample.warm) warm.push_back(&sample);
    }
    std::printf("  %-14s %12s %12s %12s %12s\n", "figure", "first", "after warm", "last", "max");
    for (const Column& column : kColumns) {
      long long maximum = samples_.front().*column.field;
      for (const Sample& sample : samples_) maximum = std::max(maximum, sample.*column.field);
      std::printf("  %-14s %12lld %12lld %12lld %12lld\n", column.name, samples_.front().*column.field,
                  warm.empty() ? -1 : warm.front()->*column.field, samples_.back().*column.field, maximum);
    }
    if (!ranThrough) return false;
    if (warm.size() < 4) {
      std::printf("FAILED: %zu samples after the warm-up, too few to compare\n", warm.size());
      return false;
    }
    // The first and the last few samples after the warm-up.
    std::size_t k = std::min<std::size_t>(3, warm.size() / 2);
    auto values = [&](long long Sample::*field, bool last) {
      std::vector<long long> picked;
      for (std::size_t i = 0; i < k; ++i) picked.push_back(warm[last ? warm.size() - k + i : i]->*field);
      return picked;
    };
    bool fine = true;
    // Memory: medians, with room for the noise of a process's resident pages
    // and of Wine's own mappings.
    for (long long Sample::*field : {&Sample::rssKib, &Sample::vmSizeKib}) {
      long long before = Median(values(field, false)), after = Median(values(field, true));
      long long allowance =
          field == &Sample::rssKib ? std::max<long long>(kResidentAllowanceKib, before / 100) : kMappedAllowanceKib;
      bool grew = after > before + allowance;
      std::printf("  %-14s %lld KiB -> %lld KiB after the warm-up (allowed up to +%lld KiB): %s\n",
                  field == &Sample::rssKib ? "VmRSS" : "VmSize", before, after, allowance, grew ? "GREW" : "steady");
      fine = fine && !grew;
    }
    // Handles: the least of each few, so that one held for a moment during a
    // tick does not count; they must not grow at all.
    {
      std::vector<long long> first = values(&Sample::handles, false), last = values(&Sample::handles, true);
      long long before = *std::min_element(first.begin(), first.end());
      long long after = *std::min_element(last.begin(), last.end());
      std::printf("  %-14s %lld -> %lld after the warm-up: %s\n", "handles", before, after,
                  after > before ? "GREW" : "steady");
      fine = fine && after <= before;
    }
    // GDI objects: the program counts them itself, exactly; none may be added.
    {
      long long before = warm.front()->gdiObjects, most = before;
      for (const Sample* sample : warm) most = std::max(most, sample->gdiObjects);
      std::printf("  %-14s %lld after the warm-up, at most %lld: %s\n", "GDI objects", before, most,
                  most > before ? "GREW" : "steady");
      fine = fine && most <= before;
    }
    return fine;
  }

  void PrintRecentChanges() const {
    std::printf("Last changes before the failure:\n");
    for (const std::string& change : recent_) std::printf("  %s\n", change.c_str());
  }

 private:
  enum class Step {
    ChooseC, ChooseD, ChooseE, ChooseF, ChooseN,
    PullD, RestoreD,  // D:'s mapping removed and restored
    PullE, PlugE,     // E: pulled out and plugged back
    EjectE, InsertE,  // E:'s medium taken out and put back
    StopAndStart,     // monitoring off, changes, monitoring on
  };
  // After the warm-up the resident size moved by at most three pages in any
  // run we made, 10 minutes long or one.
  static constexpr long long kResidentAllowanceKib = 256;
  static constexpr long long kMappedAllowanceKib = 1024;
  const wchar_t kListed[5] = {L'C', L'D', L'E', L'F', L'N'};

  double Now() const { return static_cast<double>(GetTickCount64() - start_) / 1000.0; }

  DWORD Pause(DWORD least, DWORD most) {
    return std::uniform_int_distribution<DWORD>(least, most)(random_);
  }

  bool Check(const ::testing::AssertionResult& result) {
    if (result) return true;
    std::printf("FAILED at %.1f s: %s\n", Now(), result.message());
    std::fflush(stdout);
    return false;
  }

  void Note(const std::string& change) {
    recent_.push_back(std::to_string(static_cast<long long>(Now())) + " s: " + change);
    if (recent_.size() > 12) recent_.pop_front();
  }

  ChangeableDrive& DriveD() { return drives_[0]; }
  ChangeableDrive& DriveE() { return drives_[1]; }

  // The program is running and shows no box.
  ::testing::AssertionResult Alive() {
    ++boxChecks_;
    if (!running_.program().Running()) return ::testing::AssertionFailure() << "the program is no longer running";
    std::vector<HWND> boxes = running_.program().TopLevelWindowsOfClass(L"#32770");
    if (!boxes.empty()) {
      return ::testing::AssertionFailure() << "the program shows a box: \"" << Narrow(WindowText(boxes.front()))
                                           << "\" / \"" << Narrow(WindowText(GetDlgItem(boxes.front(), 0xFFFF)))
                                           << "\"";
    }
    return running_.AloneOnScreen();
  }

  // While monitoring: the indicator and the read-outs come to show the truth
  // for the chosen drive, the choice and the button stay as they are.
  ::testing::AssertionResult ExpectTruth(const std::string& when) {
    ++truthChecks_;
    ::testing::AssertionResult alive = Alive();
    if (!alive) return ::testing::AssertionFailure() << when << ": " << alive.message();
    HWND button = running_.control(kMonitorButtonId);
    if (WindowText(button) != kStopMonitoring) {
      return ::testing::AssertionFailure() << when << ": the button reads \"" << Narrow(WindowText(button)) << "\"";
    }
    HWND selector = running_.control(kAllDrivesId);
    int selection = ComboSelection(selector);
    if (selection < 0 ||
        SendMessageW(selector, CB_GETITEMDATA, static_cast<WPARAM>(selection), 0) != static_cast<LRESULT>(chosen_)) {
      return ::testing::AssertionFailure() << when << ": the selector no longer shows the chosen drive "
                                           << Narrow(std::wstring(1, chosen_));
    }
    std::wstring indicator;
    if (!WaitUntil([&] {
          indicator = SomeRemovableDriveHoldsAMedium() ? kInserted : kNotInserted;
          return WindowText(running_.control(kUsbIndicatorId)) == indicator;
        })) {
      return ::testing::AssertionFailure() << when << ": the indicator reads \""
                                           << Narrow(WindowText(running_.control(kUsbIndicatorId))) << "\", not \""
                                           << Narrow(indicator) << "\"";
    }
    // E: is the only removable drive: what the system says follows the host's changes.
    if ((indicator == kInserted) != DriveE().Answers()) {
      return ::testing::AssertionFailure() << when << ": the system says " << (indicator == kInserted ? "a" : "no")
                                           << " removable drive holds a medium, but E: was left "
                                           << (DriveE().mapped ? "plugged " : "pulled out ")
                                           << (DriveE().medium ? "with its medium" : "without its medium");
    }
    ::testing::AssertionResult readOuts = ReadOutsComeToShow(running_.window(), chosen_);
    if (!readOuts) return ::testing::AssertionFailure() << when << ": " << readOuts.message();
    return ::testing::AssertionSuccess();
  }

  // Watches the running program for `ms` milliseconds, sampling when due:
  // alive and showing the truth (while monitoring), or standing still (while
  // stopped, against the texts in `still`).
  bool Watch(DWORD ms, const std::vector<std::wstring>* still = nullptr) {
    ULONGLONG until = GetTickCount64() + ms;
    ULONGLONG nextTruth = 0;
    for (;;) {
      ULONGLONG now = GetTickCount64();
      if (now >= nextSample_ && !TakeSample(false)) return false;
      if (still != nullptr) {
        ++standStillChecks_;
        std::vector<std::wstring> texts = StillTexts();
        if (texts != *still) {
          std::printf("FAILED at %.1f s: the read-outs changed while monitoring was off: \"%s\" \"%s\" \"%s\"\n",
                      Now(), Narrow(texts[0]).c_str(), Narrow(texts[1]).c_str(), Narrow(texts[2]).c_str());
          return false;
        }
        if (!Check(Alive())) return false;
      } else if (now >= nextTruth) {
        if (!Check(ExpectTruth("while watching"))) return false;
        nextTruth = GetTickCount64() + 500;
      } else if (!Check(Alive())) {
        return false;
      }
      if (GetTickCount64() >= until) return true;
      Sleep(150);
    }
  }

  // The texts that must not change while monitoring is off.
  std::vector<std::wstring> StillTexts() const {
    return {WindowText(running_.control(kUsbIndicatorId)), WindowText(running_.control(kTotalReadOutId)),
            WindowText(running_.control(kFreeReadOutId)), WindowText(running_.control(kMonitorButtonId))};
  }

  bool TakeSample(bool force) {
    ULONGLONG now = GetTickCount64();
    if (!force && now < nextSample_) return true;
    nextSample_ = now + sampleMs_;
    Sample sample;
    sample.seconds = Now();
    if (!firstPassDone_ || now - start_ < warmUpMs_) {
      sample.warm = false;
    } else {
      sample.warm = true;
      if (warmUpEnd_ == 0) warmUpEnd_ = now - start_;
    }
    std::string reply;
    if (!AskHost("memory DiskSpaceQuery.exe", reply) ||
        std::sscanf(reply.c_str(), "%lld %lld", &sample.rssKib, &sample.vmSizeKib) != 2) {
      std::printf("FAILED at %.1f s: the host could not read the program's memory (\"%s\")\n", Now(), reply.c_str());
      return false;
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(running_.program().process(), &counters, sizeof counters)) {
      sample.workingSetKib = static_cast<long long>(counters.WorkingSetSize >> 10);
      sample.pagefileKib = static_cast<long long>(counters.PagefileUsage >> 10);
    }
    DWORD count = 0;
    if (GetProcessHandleCount(running_.program().process(), &count)) processHandleCount_ = count;
    sample.handles = HandlesOf(running_.program().processId());
    DWORD_PTR gdi = 0;
    if (SendMessageTimeoutW(running_.window(), gdiMessage_, 0, 0, SMTO_ABORTIFHUNG, 5000, &gdi)) {
      sample.gdiObjects = static_cast<long long>(gdi);
    }
    samples_.push_back(sample);
    if (sample.handles < 0 || sample.gdiObjects <= 0) {
      PrintRow(sample, "");
      std::printf("FAILED at %.1f s: no handle count or no GDI count from the program\n", Now());
      return false;
    }
    bool firstWarm = sample.warm && warmUpEnd_ == now - start_;
    if (force || samples_.size() == 1 || firstWarm || now >= nextPrint_) {
      PrintRow(sample, firstWarm ? "warm" : "");
      nextPrint_ = now + printMs_ - sampleMs_ / 2;
    }
    return true;
  }

  Step RandomStep() {
    int roll = std::uniform_int_distribution<int>(0, 99)(random_);
    if (roll < 40) {
      // A drive change; the drive is often the chosen one first.
      static const Step changes[] = {Step::PullD, Step::PullE, Step::EjectE};
      Step change = changes[std::uniform_int_distribution<int>(0, 2)(random_)];
      if (change == Step::PullD && !DriveD().mapped) change = Step::RestoreD;
      if (change == Step::PullE && !DriveE().mapped) change = Step::PlugE;
      if (change == Step::EjectE && !DriveE().medium) change = Step::InsertE;
      return change;
    }
    if (roll < 75) return static_cast<Step>(std::uniform_int_distribution<int>(0, 4)(random_));
    return Step::StopAndStart;
  }

  bool Do(Step step) {
    switch (step) {
      case Step::ChooseC: case Step::ChooseD: case Step::ChooseE: case Step::ChooseF: case Step::ChooseN: {
        wchar_t letter = kListed[static_cast<int>(step)];
        if (letter == chosen_) letter = kListed[(static_cast<int>(step) + 1) % 5];
        return Choose(letter) && Check(ExpectTruth("after choosing " + Narrow(std::wstring(1, letter))));
      }
      case Step::StopAndStart:
        return StopAndStart();
      default: {
        std::string what;
        return ChangeDrive(step, true, what) && Check(ExpectTruth("after " + what));
      }
    }
  }

  bool Choose(wchar_t letter) {
    ++choices_;
    Note("chose " + Narrow(std::wstring(1, letter)));
    if (!Check(running_.ChooseDrive(letter))) return false;
    chosen_ = letter;
    return true;
  }

  // Asks the host for a drive change and waits until this process sees it too.
  // `mayChooseFirst`: a change that makes a drive vanish is often made to the chosen drive.
  bool ChangeDrive(Step step, bool mayChooseFirst, std::string& what) {
    ChangeableDrive& drive = step == Step::PullD || step == Step::RestoreD ? DriveD() : DriveE();
    ChangeableDrive after = drive;
    const char* request = "";
    std::string name = Narrow(std::wstring(1, drive.letter));
    switch (step) {
      case Step::PullD: request = "unplug d"; what = "D:'s mapping removed"; after.mapped = false; break;
      case Step::RestoreD: request = "plug d"; what = "D:'s mapping restored"; after.mapped = true; break;
      case Step::PullE: request = "unplug e"; what = "E: pulled out"; after.mapped = false; break;
      case Step::PlugE: request = "plug e"; what = "E: plugged back"; after.mapped = true; break;
      case Step::EjectE: request = "eject e"; what = "E:'s medium taken out"; after.medium = false; break;
      case Step::InsertE: request = "insert e"; what = "E:'s medium put back"; after.medium = true; break;
      default: return false;
    }
    bool vanishes = drive.Answers() && !after.Answers();
    if (mayChooseFirst && vanishes && chosen_ != drive.letter && std::bernoulli_distribution(0.5)(random_)) {
      if (!Choose(drive.letter) || !Check(ExpectTruth("after choosing " + name))) return false;
    }
    if (chosen_ == drive.letter) {
      what += " (the chosen drive)";
      if (vanishes) ++chosenVanished_;
    }
    drive = after;
    ++driveChanges_;
    Note(what);
    if (!AskHost(request)) {
      std::printf("FAILED at %.1f s: the host could not do \"%s\"\n", Now(), request);
      return false;
    }
    // This process has to see the change too, or nothing new would be checked.
    // Wine follows the dosdevices links at every query, so it does at once.
    if (!WaitUntil([&] { return FiguresOf(drive.letter).answered == drive.Answers(); })) {
      std::printf("FAILED at %.1f s: after \"%s\" the system still says %s answers\n", Now(), what.c_str(),
                  drive.Answers() ? "nothing" : name.c_str());
      return false;
    }
    return true;
  }

  // Monitoring off: some changes, the read-outs stand still; monitoring on:
  // they come to show the truth.
  bool StopAndStart() {
    ++toggles_;
    Note("monitoring stopped");
    if (!Check(running_.ClickMonitorButton(kStartMonitoring))) return false;
    std::vector<std::wstring> still = StillTexts();
    if (!Watch(Pause(300, 800), &still)) return false;
    int changes = std::uniform_int_distribution<int>(1, 2)(random_);
    for (int i = 0; i < changes; ++i) {
      Step step = RandomStep();
      if (step == Step::StopAndStart) step = Step::ChooseE;
      if (static_cast<int>(step) <= static_cast<int>(Step::ChooseN)) {
        wchar_t letter = kListed[static_cast<int>(step)];
        if (letter == chosen_) letter = kListed[(static_cast<int>(step) + 1) % 5];
        if (!Choose(letter)) return false;
      } else {
        std::string what;
        if (!ChangeDrive(step, false, what)) return false;
      }
      // More than two periods of the stopped timer.
      if (!Watch(Pause(2200, 3500), &still)) return false;
    }
    Note("monitoring started");
    if (!Check(running_.ClickMonitorButton(kStopMonitoring))) return false;
    return Check(ExpectTruth("after monitoring started again"));
  }

  RunningWindow& running_;
  ULONGLONG seconds_;
  ULONGLONG warmUpMs_;
  std::mt19937 random_;
  UINT gdiMessage_;
  ULONGLONG sampleMs_ = 5000, printMs_ = 30000;
  ULONGLONG start_ = 0, deadline_ = 0, nextSample_ = 0, nextPrint_ = 0, warmUpEnd_ = 0;
  bool firstPassDone_ = false;
  wchar_t chosen_ = L'C';  // the program starts from C:
  ChangeableDrive drives_[2] = {{L'D', false}, {L'E', true}};
  std::vector<Sample> samples_;
  std::deque<std::string> recent_;
  long long processHandleCount_ = -1;
  int driveChanges_ = 0, chosenVanished_ = 0, choices_ = 0, toggles_ = 0;
  int truthChecks_ = 0, standStillChecks_ = 0, boxChecks_ = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: soak_driver SECONDS WARM_UP_SECONDS SEED\n");
    return 2;
  }
  DWORD seconds = static_cast<DWORD>(_wtoi(argv[1]));
  DWORD warmUp = static_cast<DWORD>(_wtoi(argv[2]));
  unsigned seed = static_cast<unsigned>(wcstoul(argv[3], nullptr, 10));
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  std::printf("Soak of %lu s (warm-up %lu s), seed %u\n", seconds, warmUp, seed);
  if (GetFileAttributesW(ProgramPath().c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::printf("FAILED: no program at \"%s\" (DSQ_E2E_PROGRAM)\n", Narrow(ProgramPath()).c_str());
    return 1;
  }
  RunningWindow running;
  ::testing::AssertionResult ready = running.Ready();
  if (!ready) {
    std::printf("FAILED: %s\n", ready.message());
    return 1;
  }
  Soak soak(running, seconds, warmUp, seed);
  bool ranThrough = soak.Run();
  if (!ranThrough) {
    soak.PrintRecentChanges();
    if (!AskHost("screenshot failure")) std::printf("(no screenshot)\n");
  }
  bool steady = soak.Summarise(ranThrough);
  std::printf("%s\n", ranThrough && steady ? "Soak passed" : "Soak FAILED");
  return ranThrough && steady ? 0 : 1;
}
