// Every call the program makes to the system that can fail is made to fail,
// one at a time, during start-up, ticks and toggles of a whole run; each run
// must end as that failure calls for: a fatal box for storage, a quiet fallback for
// everything else, and never anything left behind.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "controls/button.h"
#include "controls/driver_box.h"
#include "shell/property_access.h"
#include "test_support.h"

namespace {

constexpr std::uint64_t kKiB = 1024;
// Font properties as the handlers address them.
constexpr std::int32_t kButtonFontProperty = kFirstOwnProperty + static_cast<std::int32_t>(kButtonFont);
constexpr std::int32_t kSelectorFontProperty = kFirstOwnProperty + static_cast<std::int32_t>(kDriverBoxFont);
constexpr char kQueryFailed[] = "0KB(0GB)";
const std::string kFixed = " \xA3\xA8\xD3\xB2\xC5\xCC\xA3\xA9";  //  （硬盘）
// The read-outs of the two fixed disks: "<KiB>KB（<GiB>GB ）" and "<KiB>KB（<GiB>GB）".
const std::string kTotalC = "488281248KB\xA3\xA8" "465GB \xA3\xA9";
const std::string kFreeC = "16777216KB\xA3\xA8" "16GB\xA3\xA9";
const std::string kTotalF = "1048576KB\xA3\xA8" "1GB \xA3\xA9";
const std::string kFreeF = "1048572KB\xA3\xA8" "0GB\xA3\xA9";

std::string AllocationFailedBox(std::size_t size) {
  // 运行时出错!  错误信息：分配 N 字节内存失败!
  return "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA\xB7\xD6\xC5\xE4 " +
         std::to_string(size) + " \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!\r\n";
}

const char* NameOf(FakeCall kind) {
  static const char* const kNames[kFakeCallKinds] = {
      "Allocation",   "ModuleFileName", "ChangeDirectory", "WorkingDirectory", "DiskBytes",
      "DiskClusters", "DriveStrings",   "VolumeLabel",     "StartTimer",       "MakeFont"};
  return kNames[static_cast<std::size_t>(kind)];
}

// A disk whose figures read the same through the extended and the cluster query.
FakeDrive Disk(unsigned kind, const char* label, std::uint32_t totalKiB, std::uint32_t freeKiB) {
  FakeDrive drive;
  drive.kind = kind;
  drive.label = label;
  drive.bytes.total = totalKiB * kKiB;
  drive.bytes.freeToCaller = freeKiB * kKiB;
  drive.bytes.totalFree = drive.bytes.total;
  drive.clusters = DiskClusters{8, 512, freeKiB / 4, totalKiB / 4};  // 4 KiB clusters
  return drive;
}

// C holds the program; D is an empty card reader, E a stick, F the disk the
// process is started in before it moves to the program's folder.
void SetUpDrives(FakePlatform& fake) {
  fake.AddDrive('C', Disk(win32::kDriveFixed, "SYSTEM", 488281248, 16777216));
  FakeDrive reader = Disk(win32::kDriveRemovable, "", 0, 0);
  reader.hasMedium = false;
  fake.AddDrive('D', reader);
  fake.AddDrive('E', Disk(win32::kDriveRemovable, "STICK", 2048, 1024));
  fake.AddDrive('F', Disk(win32::kDriveFixed, "DATA", 1048576, 1048572));
  fake.workingDirectory = L"F:\\Work";
}

enum class Step { StartUp, Fonts, Tick, Toggle, Close };

// What a step of a run leaves on the screen.
struct Screen {
  std::vector<std::string> writes;  // "who=text" for each text written during the step
  std::string allDrives;            // items of the visible selector, '|' between them, '*' before the chosen one
  std::string removable;            // the same for the hidden selector
  bool timerOn = false;
  std::string fonts;  // button, visible and hidden selector: 'o' a font of its own, 's' the stock font
  bool operator==(const Screen& other) const {
    return writes == other.writes && allDrives == other.allDrives && removable == other.removable &&
           timerOn == other.timerOn && fonts == other.fonts;
  }
};
using Screens = std::vector<Screen>;

std::string Escaped(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      shown += static_cast<char>(c);
    } else {
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 0xF];
    }
  }
  return shown;
}

void PrintTo(const Screen& screen, std::ostream* out) {
  *out << "{writes:";
  for (const std::string& write : screen.writes) *out << " [" << Escaped(write) << "]";
  *out << " all:" << Escaped(screen.allDrives) << " removable:" << Escaped(screen.removable)
       << " timer:" << (screen.timerOn ? "on" : "off") << " fonts:" << screen.fonts << "}";
}

// What the run of a configuration without failures shows.
struct Look {
  std::string allDrives = "*C:" + kFixed + " SYSTEM|D:|E:|F:" + kFixed + " DATA";
  std::string removable = "D:|E:";
  std::vector<std::string> tick = {std::string("I=") + gbk::kUsbInserted, "T=" + kTotalC, "F=" + kFreeC};
  bool timerStarts = true;
  bool fontsMade = true;
};

Screens ExpectedScreens(const std::vector<Step>& steps, const Look& look) {
  Screens screens;
  Screen screen{{}, look.allDrives, look.removable, look.timerStarts, "sss"};
  bool monitoring = true;
  for (Step step : steps) {
    if (step == Step::Close) break;
    screen.writes.clear();
    switch (step) {
      case Step::Fonts:
        screen.fonts = look.fontsMade ? "ooo" : "sss";
        break;
      case Step::Tick:
        if (screen.timerOn) screen.writes = look.tick;
        break;
      case Step::Toggle:
        monitoring = !monitoring;
        screen.writes = {std::string("B=") + (monitoring ? gbk::kStopMonitoring : gbk::kStartMonitoring)};
        screen.timerOn = monitoring && look.timerStarts;
        break;
      default:
        break;
    }
    screens.push_back(screen);
  }
  return screens;
}

// The sizes of the texts a step asks storage for: a tick copies the drive it
// reads and builds the kibibytes, the gibibytes and the whole of each read-out
// that did not fail; a toggle copies the button's caption.
std::vector<std::size_t> ExpectedAllocations(Step step, const Screen& screen) {
  std::vector<std::size_t> sizes;
  if (step == Step::Toggle) sizes.push_back(sizeof gbk::kStopMonitoring);  // either caption: 8 bytes
  if (step != Step::Tick || screen.writes.empty()) return sizes;
  sizes.push_back(2);
  for (const std::string& write : screen.writes) {
    std::string text = write.substr(2);
    if (write[0] == 'I' || text == kQueryFailed) continue;
    std::size_t kilobytesEnd = text.find("KB");
    std::size_t gigabytesStart = kilobytesEnd + 4;  // after "KB（"
    sizes.push_back(kilobytesEnd + 1);
    sizes.push_back(text.find("GB") - gigabytesStart + 1);
    sizes.push_back(text.size() + 1);
  }
  return sizes;
}

// The system windows a run looks at.
struct Windows {
  WindowHandle indicator = 0, total = 0, free = 0, button = 0, timer = 0, allDrives = 0, removable = 0;
};

Windows FindWindows() {
  WindowRecord& window = *TheShell().FindWindowRecord(kMainWindowNumber);
  auto handle = [&window](ControlNumber number) {
    ControlRecord* control = TheShell().FindControlRecord(window, number);
    return control != nullptr && control->component != nullptr ? control->component->Handle() : 0;
  };
  return Windows{handle(kUsbIndicatorLabelNumber), handle(kTotalSpaceLabelNumber), handle(kFreeSpaceLabelNumber),
                 handle(kMonitorButtonNumber),     handle(kTimerNumber),           handle(kAllDrivesBoxNumber),
                 handle(kUsbDriveBoxNumber)};
}

int g_exitHooks = 0;
void CountExitHook() { ++g_exitHooks; }

const Program& ProgramWithCountedExit() {
  static const Program program = [] {
    Program made = DiskSpaceQueryProgram();
    made.exitHook = &CountExitHook;
    return made;
  }();
  return program;
}

// The fake, also keeping the size of every allocation and how many texts had
// been written by then, and letting the run act while the error box is open.
class RecordingFake : public FakePlatform {
 public:
  void* AllocateBytes(std::size_t size) override {
    allocations.emplace_back(size, windowTexts.size());
    return FakePlatform::AllocateBytes(size);
  }
  void ShowErrorBox(const std::string& text, const std::string& caption) override {
    FakePlatform::ShowErrorBox(text, caption);
    if (whileBoxOpen) whileBoxOpen();
  }
  std::vector<std::pair<std::size_t, std::size_t>> allocations;  // size, texts written before it
  std::function<void()> whileBoxOpen;
};

struct Outcome {
  std::uint32_t exitCode = 0;
  std::vector<FakeErrorBox> boxes;
  int exitHooks = 0;
  Screens screens;                                       // after each step before the close
  std::vector<std::array<long, kFakeCallKinds>> counts;  // calls of each kind after each step
  std::vector<std::vector<std::size_t>> allocations;     // sizes asked for in each step
  std::vector<std::size_t> writesBeforeAllocation;       // texts written in the run before each allocation
  std::vector<std::size_t> writesBeforeStep;       // texts written in the run before each step
  Screen atBox;                   // the screen while the error box is open
  bool quietWhileBoxOpen = true;  // timers, clicks and events changed nothing while it was
  long liveAllocations = 0;
  std::size_t liveGdiObjects = 0;
  std::vector<std::string> gdiMistakes;
  bool windowsLeft = false;
};

struct Config {
  const char* name;
  std::vector<Step> steps;
  void (*setUp)(FakePlatform&);
  Look look;
  std::vector<FakeCall> swept;  // the kinds whose calls fail one at a time
  // What each failing call changes on the screen, by kind, step and its number
  // among the calls of that kind in the step; any other failure changes nothing.
  struct Effect {
    FakeCall kind;
    Step step;
    long number;
    std::function<void(Screens&, std::size_t step)> change;
  };
  const std::vector<Effect>* effects;
};

Screen Capture(RecordingFake& fake, const Windows& w, std::size_t writesFrom) {
  Screen screen;
  for (std::size_t i = writesFrom; i < fake.windowTexts.size(); ++i) {
    WindowHandle window = fake.windowTexts[i].first;
    char who = window == w.indicator ? 'I'
               : window == w.total   ? 'T'
               : window == w.free    ? 'F'
               : window == w.button  ? 'B'
                                     : '?';
    screen.writes.push_back(std::string(1, who) + "=" + fake.windowTexts[i].second);
  }
  auto items = [&fake](WindowHandle combo) {
    std::string shown;
    const FakeWindow& list = fake.Window(combo);
    for (std::size_t i = 0; i < list.items.size(); ++i) {
      if (i > 0) shown += '|';
      if (static_cast<int>(i) == list.selection) shown += '*';
      shown += list.items[i].text;
    }
    return shown;
  };
  screen.allDrives = items(w.allDrives);
  screen.removable = items(w.removable);
  screen.timerOn = !fake.Window(w.timer).timers.empty();
  for (WindowHandle window : {w.button, w.allDrives, w.removable}) {
    screen.fonts += fake.Window(window).font == FakePlatform::kStockGuiFont ? 's' : 'o';
  }
  return screen;
}

void Perform(RecordingFake& fake, Windows& w, Step step, const DataBlock& font) {
  switch (step) {
    case Step::StartUp:
      w = FindWindows();
      break;
    case Step::Fonts:
      WriteProperty(kMainWindowNumber, kMonitorButtonNumber, kButtonFontProperty, kWholeValue,
                    SlotFromPointer(font.Pointer()));
      for (ControlNumber box : {kAllDrivesBoxNumber, kUsbDriveBoxNumber}) {
        WriteProperty(kMainWindowNumber, box, kSelectorFontProperty, kWholeValue, SlotFromPointer(font.Pointer()));
      }
      break;
    case Step::Tick:
      fake.FireTimers();
      break;
    case Step::Toggle:
      fake.ClickButton(w.button);
      break;
    case Step::Close:
      fake.SendClose(fake.TopLevelWindow());
      break;
  }
}

// The whole program on a fresh system, each step posted to its loop, with the
// `number`-th call of `kind` failing (0: none).
Outcome RunScenario(const Config& config, FakeCall kind, long number) {
  RecordingFake fake;
  SetUpDrives(fake);
  config.setUp(fake);
  fake.failKind = kind;
  fake.failNumber = number;
  g_exitHooks = 0;
  Outcome run;
  Windows w;
  char description[60] = {};
  const DataBlock font = DataBlock::FromBytes(description, sizeof description);

  for (Step step : config.steps) {
    fake.Post([&fake, &run, &w, &font, step] {
      std::size_t writesFrom = fake.windowTexts.size();
      std::size_t allocationsFrom = fake.allocations.size();
      run.writesBeforeStep.push_back(writesFrom);
      Perform(fake, w, step, font);
      if (step != Step::Close) run.screens.push_back(Capture(fake, w, writesFrom));
      run.counts.push_back(fake.callCounts);
      std::vector<std::size_t> sizes;
      for (std::size_t i = allocationsFrom; i < fake.allocations.size(); ++i) {
        sizes.push_back(fake.allocations[i].first);
      }
      run.allocations.push_back(sizes);
    });
  }
  fake.whileBoxOpen = [&fake, &run, &w] {
    run.atBox = Capture(fake, w, run.writesBeforeStep.back());
    const std::size_t texts = fake.windowTexts.size(), calls = fake.calls.size();
    const long allocations = fake.allocationCount;
    const int queries = fake.diskQueries;
    fake.FireTimers();
    fake.ClickButton(w.button);
    bool raised =
        RaiseEvent(kMainWindowNumber, kTimerNumber, 0) || RaiseEvent(kMainWindowNumber, kMonitorButtonNumber, 0);
    run.quietWhileBoxOpen = !raised && fake.windowTexts.size() == texts && fake.calls.size() == calls &&
                            fake.allocationCount == allocations && fake.diskQueries == queries;
  };

  run.exitCode = ExitCodeOf([&fake] { RunProgram(fake, ProgramWithCountedExit()); });
  run.boxes = fake.errorBoxes;
  run.exitHooks = g_exitHooks;
  for (const auto& allocation : fake.allocations) run.writesBeforeAllocation.push_back(allocation.second);
  run.liveAllocations = fake.liveAllocations;
  run.liveGdiObjects = fake.liveGdiObjects.size();
  run.gdiMistakes = fake.gdiMistakes;
  run.windowsLeft = fake.TopLevelWindow() != 0;
  for (WindowHandle window : {w.indicator, w.total, w.free, w.button, w.timer, w.allDrives, w.removable}) {
    run.windowsLeft = run.windowsLeft || fake.WindowExists(window);
  }
  return run;
}

void ExpectNothingLeft(const Outcome& run) {
  EXPECT_EQ(run.liveAllocations, 0);
  EXPECT_EQ(run.liveGdiObjects, 0u);
  EXPECT_TRUE(run.gdiMistakes.empty());
  EXPECT_FALSE(run.windowsLeft);
}

void ExpectOrderlyEnd(const Outcome& run) {
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(run.exitHooks, 1);
  ExpectNothingLeft(run);
}

// --- what failures change ---

void Rewrite(Screen& screen, char who, const std::string& text) {
  for (std::string& write : screen.writes) {
    if (write[0] == who) write = std::string(1, who) + "=" + text;
  }
}

void NoRemovableMedium(Screens& screens, std::size_t step) { Rewrite(screens[step], 'I', gbk::kNoUsbInserted); }
void TotalFails(Screens& screens, std::size_t step) { Rewrite(screens[step], 'T', kQueryFailed); }
void FreeFails(Screens& screens, std::size_t step) { Rewrite(screens[step], 'F', kQueryFailed); }

// Changes one listing of every step, from start-up on.
std::function<void(Screens&, std::size_t)> EveryListing(std::string Screen::*listing,
                                                        std::function<void(std::string&)> change) {
  return [listing, change](Screens& screens, std::size_t) {
    for (Screen& screen : screens) change(screen.*listing);
  };
}

void Erase(std::string& text, const std::string& part) {
  std::string::size_type at = text.find(part);
  if (at != std::string::npos) text.erase(at, part.size());
}

// The timer runs no more, and no tick comes, until a toggle starts it again.
void NoTicksUntilRestarted(Screens& screens, std::size_t step) {
  bool wasOn = true;
  for (std::size_t at = step; at < screens.size(); ++at) {
    if (at > step && screens[at].timerOn && !wasOn) break;
    wasOn = screens[at].timerOn;
    screens[at].timerOn = false;
    if (!screens[at].writes.empty() && screens[at].writes[0][0] == 'I') screens[at].writes.clear();
  }
}

// The program stays on the drive it was started in: F is chosen and shown.
void StaysOnTheStartingDrive(Screens& screens, std::size_t) {
  for (Screen& screen : screens) {
    Erase(screen.allDrives, "*");
    screen.allDrives.insert(screen.allDrives.find("F:"), "*");
    Rewrite(screen, 'T', kTotalF);
    Rewrite(screen, 'F', kFreeF);
  }
}

std::function<void(Screens&, std::size_t)> StockFont(std::size_t control) {
  return [control](Screens& screens, std::size_t step) {
    for (std::size_t at = step; at < screens.size(); ++at) screens[at].fonts[control] = 's';
  };
}

// On fixed and removable disks, with the program on C.
const std::vector<Config::Effect> kFixedDiskEffects = {
    // A tick queries D, then E (which answers), then C's total and free space.
    {FakeCall::DiskBytes, Step::Tick, 2, NoRemovableMedium},
    {FakeCall::DiskBytes, Step::Tick, 3, TotalFails},
    {FakeCall::DiskBytes, Step::Tick, 4, FreeFails},
    {FakeCall::DiskClusters, Step::Tick, 2, NoRemovableMedium},
    {FakeCall::DiskClusters, Step::Tick, 3, TotalFails},
    {FakeCall::DiskClusters, Step::Tick, 4, FreeFails},
    // Start-up lists the drives for the visible selector, then for the hidden one.
    {FakeCall::DriveStrings, Step::StartUp, 1, EveryListing(&Screen::allDrives, [](std::string& s) { s.clear(); })},
    {FakeCall::DriveStrings, Step::StartUp, 2, EveryListing(&Screen::removable, [](std::string& s) { s.clear(); })},
    {FakeCall::DriveStrings, Step::Tick, 1, NoRemovableMedium},
    // Without the current drive nothing is chosen; ticks read the current drive afresh and show C.
    {FakeCall::WorkingDirectory, Step::StartUp, 1,
     EveryListing(&Screen::allDrives, [](std::string& s) { Erase(s, "*"); })},
    {FakeCall::VolumeLabel, Step::StartUp, 1,
     EveryListing(&Screen::allDrives, [](std::string& s) { Erase(s, " SYSTEM"); })},
    {FakeCall::VolumeLabel, Step::StartUp, 2,
     EveryListing(&Screen::allDrives, [](std::string& s) { Erase(s, " DATA"); })},
    {FakeCall::StartTimer, Step::StartUp, 1, NoTicksUntilRestarted},
    {FakeCall::StartTimer, Step::Toggle, 1, NoTicksUntilRestarted},
    {FakeCall::ModuleFileName, Step::StartUp, 1, StaysOnTheStartingDrive},
    {FakeCall::ChangeDirectory, Step::StartUp, 1, StaysOnTheStartingDrive},
    {FakeCall::MakeFont, Step::Fonts, 1, StockFont(0)},
    {FakeCall::MakeFont, Step::Fonts, 2, StockFont(1)},
    {FakeCall::MakeFont, Step::Fonts, 3, StockFont(2)},
};

// With the program on a share, the chosen drive is '@' and both read-outs already fail.
const std::vector<Config::Effect> kNetworkShareEffects = {
    {FakeCall::DiskBytes, Step::Tick, 2, NoRemovableMedium},
};

const std::vector<Config::Effect> kNoEffects = {};

const std::vector<Step> kRun = {Step::StartUp, Step::Tick, Step::Toggle, Step::Tick,
                                Step::Toggle,  Step::Tick, Step::Close};
const std::vector<Step> kRunWithFonts = {Step::StartUp, Step::Fonts,  Step::Tick, Step::Toggle,
                                         Step::Tick,    Step::Toggle, Step::Tick, Step::Close};

Look OnAShare() {
  Look look;
  look.allDrives = "C:" + kFixed + " SYSTEM|D:|E:|F:" + kFixed + " DATA";
  look.tick = {std::string("I=") + gbk::kUsbInserted, std::string("T=") + kQueryFailed,
               std::string("F=") + kQueryFailed};
  return look;
}

Look WithoutDrives() {
  Look look;
  look.allDrives = look.removable = "";
  look.tick[0] = std::string("I=") + gbk::kNoUsbInserted;
  return look;
}

Look WithoutTimer() {
  Look look;
  look.timerStarts = false;
  return look;
}

Look WithoutFonts() {
  Look look;
  look.fontsMade = false;
  return look;
}

// Every kind the program's own start-up, ticks and toggles call here: the
// cluster query only runs without the extended one, fonts only for descriptions.
const std::vector<FakeCall> kStartUpTickAndToggleCalls = {
    FakeCall::Allocation, FakeCall::ModuleFileName, FakeCall::ChangeDirectory, FakeCall::WorkingDirectory,
    FakeCall::DiskBytes,  FakeCall::DriveStrings,   FakeCall::VolumeLabel,     FakeCall::StartTimer};

const Config kConfigs[] = {
    {"FixedDisks", kRun, [](FakePlatform&) {}, Look(), kStartUpTickAndToggleCalls, &kFixedDiskEffects},
    {"ClusterQuery",
     kRun,
     [](FakePlatform& fake) { fake.extendedQueryAvailable = false; },
     Look(),
     {FakeCall::DiskBytes, FakeCall::DiskClusters},
     &kFixedDiskEffects},
    {"Fonts", kRunWithFonts, [](FakePlatform&) {}, Look(), {FakeCall::MakeFont}, &kFixedDiskEffects},
    {"FontsNeverMade",
     kRunWithFonts,
     [](FakePlatform& fake) { fake.fontsFail = true; },
     WithoutFonts(),
     {},
     &kNoEffects},
    {"NetworkShare",
     kRun,
     [](FakePlatform& fake) { fake.modulePath = L"\\\\server\\share\\Disk\\DiskSpaceQuery.exe"; },
     OnAShare(),
     {FakeCall::Allocation, FakeCall::WorkingDirectory, FakeCall::DiskBytes},
     &kNetworkShareEffects},
    {"WorkingDirectoryFails",
     kRun,
     [](FakePlatform& fake) { fake.workingDirectoryFails = true; },
     OnAShare(),
     {},
     &kNoEffects},
    // Nothing is chosen, so each tick reads the current drive; when that read
    // fails it gives '@', which is no letter, and each query resolves the
    // current drive afresh: the read-outs still show C.
    {"NoDrivesListed",
     kRun,
     [](FakePlatform& fake) { fake.driveStringsOverride = std::string(1, '\0'); },
     WithoutDrives(),
     {FakeCall::WorkingDirectory, FakeCall::DriveStrings},
     &kNoEffects},
    {"DriveListFails",
     kRun,
     [](FakePlatform& fake) { fake.driveStringsFail = true; },
     WithoutDrives(),
     {},
     &kNoEffects},
    {"TimerNeverStarts", kRun, [](FakePlatform& fake) { fake.timersFail = true; }, WithoutTimer(), {}, &kNoEffects},
};

void PrintTo(const Config& config, std::ostream* out) { *out << config.name; }

class FaultInjectionTest : public testing::TestWithParam<Config> {};

// The step a call falls in, and its number among the calls of its kind in that step.
std::pair<std::size_t, long> StepOf(const Outcome& run, FakeCall kind, long number) {
  std::size_t k = static_cast<std::size_t>(kind);
  for (std::size_t step = 0; step < run.counts.size(); ++step) {
    if (run.counts[step][k] >= number) return {step, number - (step > 0 ? run.counts[step - 1][k] : 0)};
  }
  return {run.counts.size(), 0};
}

TEST_P(FaultInjectionTest, EveryFailingCallEndsAsItShould) {
  const Config& config = GetParam();
  const Screens expected = ExpectedScreens(config.steps, config.look);

  const Outcome clean = RunScenario(config, FakeCall::Allocation, 0);
  ExpectOrderlyEnd(clean);
  ASSERT_EQ(clean.screens, expected);
  ASSERT_EQ(clean.counts.size(), config.steps.size());
  for (std::size_t step = 0; step < expected.size(); ++step) {
    EXPECT_EQ(clean.allocations[step], ExpectedAllocations(config.steps[step], expected[step])) << step;
  }

  std::set<const Config::Effect*> met;
  for (FakeCall kind : config.swept) {
    const long calls = clean.counts.back()[static_cast<std::size_t>(kind)];
    EXPECT_GT(calls, 0) << NameOf(kind);
    for (long number = 1; number <= calls; ++number) {
      const auto [step, numberInStep] = StepOf(clean, kind, number);
      SCOPED_TRACE(testing::Message() << NameOf(kind) << " call " << number << " (" << numberInStep << " in step "
                                      << step << ")");
      ASSERT_LT(step, expected.size());  // no fallible call while closing
      const Outcome run = RunScenario(config, kind, number);

      if (kind == FakeCall::Allocation) {
        // Fatal: one box naming the size, exit code -1, no exit hook, nothing after it.
        ASSERT_GT(step, 0u);  // start-up stores no text
        EXPECT_EQ(run.exitCode, 0xFFFFFFFFu);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].caption, "\xB4\xED\xCE\xF3");  // 错误
        EXPECT_EQ(run.boxes[0].text, AllocationFailedBox(clean.allocations[step][numberInStep - 1]));
        EXPECT_EQ(run.exitHooks, 0);
        EXPECT_EQ(run.screens, Screens(expected.begin(), expected.begin() + static_cast<long>(step)));
        // The step stops right at the failure: the screen it left is the one before with what was written so far.
        Screen atFailure = expected[step - 1];
        atFailure.writes.assign(
            expected[step].writes.begin(),
            expected[step].writes.begin() +
                static_cast<long>(clean.writesBeforeAllocation[number - 1] - clean.writesBeforeStep[step]));
        EXPECT_EQ(run.atBox, atFailure);
        EXPECT_TRUE(run.quietWhileBoxOpen);
        ExpectNothingLeft(run);
        continue;
      }

      Screens want = expected;
      for (const Config::Effect& effect : *config.effects) {
        if (effect.kind == kind && effect.step == config.steps[step] && effect.number == numberInStep) {
          effect.change(want, step);
          met.insert(&effect);
        }
      }
      ExpectOrderlyEnd(run);
      EXPECT_EQ(run.screens, want);
    }
  }
  for (const Config::Effect& effect : *config.effects) {
    bool swept = false;
    for (FakeCall kind : config.swept) swept = swept || kind == effect.kind;
    bool stepRun = false;
    for (Step step : config.steps) stepRun = stepRun || step == effect.step;
    if (swept && stepRun) {
      EXPECT_EQ(met.count(&effect), 1u) << "never met: " << NameOf(effect.kind) << " " << effect.number;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(WholeRuns, FaultInjectionTest, testing::ValuesIn(kConfigs),
                         [](const testing::TestParamInfo<Config>& info) { return std::string(info.param.name); });

}  // namespace
