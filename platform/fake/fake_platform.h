// An in-memory operating system for tests: windows, drives, timers, GDI
// objects and text storage that tests can set up, inspect and make fail.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

// Thrown where the real process would end.
struct ProcessExited {
  std::uint32_t exitCode;
};

struct FakeDrive {
  unsigned kind = win32::kDriveFixed;
  std::string label;     // GBK
  bool hasMedium = true;  // a drive without one fails every query
  DiskBytes bytes;
  DiskClusters clusters;
};

// Calls that can fail, for tests that fail the N-th call of one kind. A
// failing call answers as the system does when it fails.
enum class FakeCall : std::size_t {
  Allocation,        // null
  ModuleFileName,    // the empty path
  ChangeDirectory,   // false; the working directory stays
  WorkingDirectory,  // the empty path
  DiskBytes,         // Failed
  DiskClusters,      // false
  DriveStrings,      // the empty buffer
  VolumeLabel,       // the empty label
  StartTimer,        // false; no timer runs
  MakeFont,          // 0
};
constexpr std::size_t kFakeCallKinds = 10;

struct FakeComboItem {
  std::string text;
  std::uintptr_t data = 0;
};

struct FakeWindow {
  WindowRequest request;
  bool alive = true;
  bool visible = false;
  bool enabled = true;
  std::string text;
  std::uint32_t style = 0;
  Rect rect;
  GdiHandle font = 0;
  bool iconsSet = false;
  int invalidations = 0;
  int erasingInvalidations = 0;
  std::vector<FakeComboItem> items;
  int selection = -1;
  std::map<unsigned, unsigned> timers;  // id -> milliseconds
  std::vector<WindowHandle> children;   // top of the stacking order first
};

struct FakeErrorBox {
  std::string text;
  std::string caption;
};

class FakePlatform : public Platform {
 public:
  FakePlatform();
  ~FakePlatform() override;

  // --- set-up and inspection ---
  std::vector<std::string> calls;  // the process and loop calls, in order
  std::wstring modulePath = L"C:\\Program Files\\Disk\\DiskSpaceQuery.exe";
  std::wstring workingDirectory = L"C:\\";
  bool workingDirectoryFails = false;
  std::map<char, FakeDrive> drives;  // by upper-case letter, in listing order
  bool extendedQueryAvailable = true;
  bool driveStringsFail = false;
  std::string driveStringsOverride;  // listed verbatim in place of `drives` when not empty
  int diskQueries = 0;
  int failDiskQueryNumber = 0;  // the disk query with this number (from 1) fails
  ScreenSize screen{1920, 1080};
  std::vector<FakeErrorBox> errorBoxes;

  // Text storage: counts live blocks; fails the allocation with this number (from 1).
  long liveAllocations = 0;
  long allocationCount = 0;
  long failAllocationNumber = 0;
  std::size_t lastAllocationSize = 0;

  // Windows and timers.
  int failWindowNumber = 0;  // the window creation with this number (from 1) fails
  int windowCreations = 0;
  bool timersFail = false;
  bool fontsFail = false;
  std::set<GdiHandle> liveGdiObjects;
  std::vector<std::string> gdiMistakes;  // deletes of unknown or stock objects
  std::vector<std::pair<WindowHandle, std::string>> windowTexts;  // every SetWindowText, in order

  // Calls of each kind so far (all of them, failed or not), and the one call
  // to fail: the `failNumber`-th (from 1) of kind `failKind`; 0 fails none.
  std::array<long, kFakeCallKinds> callCounts{};
  FakeCall failKind = FakeCall::Allocation;
  long failNumber = 0;
  long CallCount(FakeCall kind) const { return callCounts[static_cast<std::size_t>(kind)]; }

  FakeWindow& Window(WindowHandle window);
  WindowHandle TopLevelWindow();
  // Delivers WM_TIMER for every running timer, as the loop would once a period passes.
  void FireTimers();
  // Queues work for the message loop; it runs in order until the quit message.
  void Post(std::function<void()> action) { queue_.push_back(std::move(action)); }
  void AddDrive(char letter, const FakeDrive& drive);

  // --- Platform ---
  void* AllocateBytes(std::size_t size) override;
  void FreeBytes(void* block) override;
  void SetQuietErrorMode() override;
  std::wstring ModuleFileName() override;
  bool ChangeDirectory(const std::wstring& folder) override;
  std::wstring WorkingDirectory() override;
  void ResetFloatingPoint() override;
  void ShowErrorBox(const std::string& text, const std::string& caption) override;
  [[noreturn]] void EndProcess(std::uint32_t exitCode) override;
  DiskQueryOutcome QueryDiskBytes(const char* root, DiskBytes& figures) override;
  bool QueryDiskClusters(const char* root, DiskClusters& figures) override;
  std::string LogicalDriveStrings() override;
  unsigned DriveType(const char* root) override;
  std::string VolumeLabel(const char* root) override;
  WindowHandle MakeWindow(const WindowRequest& request) override;
  void DestroyWindow(WindowHandle window) override;
  bool WindowExists(WindowHandle window) override;
  Rect WindowRect(WindowHandle window) override;
  void PlaceWindow(WindowHandle window, const Rect& rect) override;
  void PlaceOnTop(WindowHandle window) override;
  void PlaceBelow(WindowHandle window, WindowHandle above) override;
  void ShowWindow(WindowHandle window, ShowMode mode) override;
  void EnableWindow(WindowHandle window, bool enabled) override;
  void SetText(WindowHandle window, const std::string& text) override;
  void Invalidate(WindowHandle window, bool erase) override;
  void ChangeStyle(WindowHandle window, std::uint32_t style) override;
  void SetWindowFont(WindowHandle window, GdiHandle font, bool redraw) override;
  void SetProgramIcons(WindowHandle window) override;
  WindowHandle FocusedWindow() override;
  void FocusWindow(WindowHandle window) override;
  bool IsChildOf(WindowHandle window, WindowHandle parent) override;
  void SendClose(WindowHandle window) override;
  void ClickButton(WindowHandle button) override;
  ScreenSize PrimaryScreenSize() override;
  void ComboReset(WindowHandle combo) override;
  int ComboAdd(WindowHandle combo, const std::string& text) override;
  void ComboSetItemData(WindowHandle combo, int index, std::uintptr_t data) override;
  std::uintptr_t ComboItemData(WindowHandle combo, int index) override;
  int ComboCount(WindowHandle combo) override;
  int ComboSelection(WindowHandle combo) override;
  void ComboSelect(WindowHandle combo, int index) override;
  bool StartTimer(WindowHandle window, unsigned id, unsigned milliseconds) override;
  void StopTimer(WindowHandle window, unsigned id) override;
  GdiHandle CreateSolidBrush(Colour colour) override;
  GdiHandle MakeFont(const FontRequest& request) override;
  void DeleteGdiObject(GdiHandle object) override;
  GdiHandle StockGuiFont() override;
  Colour SystemColour(int index) override;
  int RunMessageLoop() override;
  void PostQuit(int exitCode) override;

  static constexpr GdiHandle kStockGuiFont = 0x5F0;
  static constexpr Colour kButtonFace = 0xF0F0F0;

 private:
  FakeDrive* DriveAt(const char* root);
  // Counts a call of `kind`; true when it is the one to fail.
  bool Injected(FakeCall kind);

  std::map<WindowHandle, FakeWindow> windows_;
  WindowHandle nextWindow_ = 0x100;
  GdiHandle nextGdiObject_ = 0x1000;
  WindowHandle focus_ = 0;
  std::vector<std::function<void()>> queue_;
  bool quitPosted_ = false;
  int quitCode_ = 0;
};
