#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  return narrow;
}

}  // namespace

FakePlatform::FakePlatform() = default;

FakePlatform::~FakePlatform() = default;

FakeWindow& FakePlatform::Window(WindowHandle window) {
  auto found = windows_.find(window);
  if (found == windows_.end()) throw std::logic_error("no such fake window");
  return found->second;
}

WindowHandle FakePlatform::TopLevelWindow() {
  for (auto& entry : windows_) {
    if (entry.second.alive && entry.second.request.parent == 0) return entry.first;
  }
  return 0;
}

void FakePlatform::FireTimers() {
  std::vector<WindowHandle> ticking;
  for (auto& entry : windows_) {
    if (entry.second.alive && !entry.second.timers.empty()) ticking.push_back(entry.first);
  }
  for (WindowHandle window : ticking) {
    if (WindowExists(window)) Window(window).request.owner->OnTimer();
  }
}

void FakePlatform::AddDrive(char letter, const FakeDrive& drive) { drives[letter] = drive; }

bool FakePlatform::Injected(FakeCall kind) {
  long number = ++callCounts[static_cast<std::size_t>(kind)];
  return kind == failKind && number == failNumber;
}

void* FakePlatform::AllocateBytes(std::size_t size) {
  ++allocationCount;
  lastAllocationSize = size;
  if (Injected(FakeCall::Allocation) || allocationCount == failAllocationNumber) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) ++liveAllocations;
  return block;
}

void FakePlatform::FreeBytes(void* block) {
  if (block == nullptr) return;
  --liveAllocations;
  std::free(block);
}

void FakePlatform::SetQuietErrorMode() { calls.push_back("SetQuietErrorMode"); }

std::wstring FakePlatform::ModuleFileName() {
  calls.push_back("ModuleFileName");
  return Injected(FakeCall::ModuleFileName) ? std::wstring() : modulePath;
}

bool FakePlatform::ChangeDirectory(const std::wstring& folder) {
  calls.push_back("ChangeDirectory " + Narrow(folder));
  if (Injected(FakeCall::ChangeDirectory) || folder.empty()) return false;
  workingDirectory = folder;
  return true;
}

std::wstring FakePlatform::WorkingDirectory() {
  return Injected(FakeCall::WorkingDirectory) || workingDirectoryFails ? std::wstring() : workingDirectory;
}

void FakePlatform::ResetFloatingPoint() { calls.push_back("ResetFloatingPoint"); }

void FakePlatform::ShowErrorBox(const std::string& text, const std::string& caption) {
  calls.push_back("ShowErrorBox");
  errorBoxes.push_back(FakeErrorBox{text, caption});
}

void FakePlatform::EndProcess(std::uint32_t exitCode) {
  calls.push_back("EndProcess " + std::to_string(exitCode));
  throw ProcessExited{exitCode};
}

FakeDrive* FakePlatform::DriveAt(const char* root) {
  if (root == nullptr || root[0] == '\0' || root[1] != ':') return nullptr;
  auto found = drives.find(root[0]);
  return found == drives.end() ? nullptr : &found->second;
}

DiskQueryOutcome FakePlatform::QueryDiskBytes(const char* root, DiskBytes& figures) {
  // An injected failure is the extended query found and failing.
  bool injected = Injected(FakeCall::DiskBytes);
  if (!extendedQueryAvailable && !injected) return DiskQueryOutcome::Unavailable;
  FakeDrive* drive = DriveAt(root);
  if (++diskQueries == failDiskQueryNumber || injected || drive == nullptr || !drive->hasMedium) {
    return DiskQueryOutcome::Failed;
  }
  figures = drive->bytes;
  return DiskQueryOutcome::Answered;
}

bool FakePlatform::QueryDiskClusters(const char* root, DiskClusters& figures) {
  FakeDrive* drive = DriveAt(root);
  bool injected = Injected(FakeCall::DiskClusters);
  if (++diskQueries == failDiskQueryNumber || injected || drive == nullptr || !drive->hasMedium) return false;
  figures = drive->clusters;
  return true;
}

std::string FakePlatform::LogicalDriveStrings() {
  std::string strings;
  if (Injected(FakeCall::DriveStrings) || driveStringsFail) return strings;
  if (!driveStringsOverride.empty()) return driveStringsOverride;
  for (const auto& drive : drives) {
    strings += drive.first;
    strings += ":\\";
    strings += '\0';
  }
  return strings;
}

unsigned FakePlatform::DriveType(const char* root) {
  FakeDrive* drive = DriveAt(root);
  return drive == nullptr ? win32::kDriveNoRootDir : drive->kind;
}

std::string FakePlatform::VolumeLabel(const char* root) {
  calls.push_back(std::string("VolumeLabel ") + root);
  FakeDrive* drive = DriveAt(root);
  return Injected(FakeCall::VolumeLabel) || drive == nullptr || !drive->hasMedium ? std::string() : drive->label;
}

WindowHandle FakePlatform::MakeWindow(const WindowRequest& request) {
  if (++windowCreations == failWindowNumber) return 0;
  WindowHandle window = nextWindow_++;
  FakeWindow& made = windows_[window];
  made.request = request;
  made.text = request.text;
  made.style = request.style;
  made.rect = request.rect;
  made.visible = (request.style & win32::kVisible) != 0;
  made.enabled = (request.style & win32::kDisabled) == 0;
  if (request.parent != 0) Window(request.parent).children.push_back(window);
  if (request.owner != nullptr) request.owner->OnCreated(window);
  return window;
}

void FakePlatform::DestroyWindow(WindowHandle window) {
  if (!WindowExists(window)) return;
  WindowOwner* owner = Window(window).request.owner;
  if (owner != nullptr) owner->OnDestroying();
  std::vector<WindowHandle> children = Window(window).children;
  for (WindowHandle child : children) DestroyWindow(child);
  FakeWindow& destroyed = Window(window);
  destroyed.alive = false;
  destroyed.visible = false;
  destroyed.timers.clear();
  if (focus_ == window) focus_ = 0;
  if (owner != nullptr) owner->OnGone();
}

bool FakePlatform::WindowExists(WindowHandle window) {
  auto found = windows_.find(window);
  return found != windows_.end() && found->second.alive;
}

Rect FakePlatform::WindowRect(WindowHandle window) { return Window(window).rect; }

void FakePlatform::PlaceWindow(WindowHandle window, const Rect& rect) { Window(window).rect = rect; }

void FakePlatform::PlaceOnTop(WindowHandle window) {
  std::vector<WindowHandle>& siblings = Window(Window(window).request.parent).children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), window));
  siblings.insert(siblings.begin(), window);
}

void FakePlatform::PlaceBelow(WindowHandle window, WindowHandle above) {
  std::vector<WindowHandle>& siblings = Window(Window(window).request.parent).children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), window));
  siblings.insert(std::find(siblings.begin(), siblings.end(), above) + 1, window);
}

void FakePlatform::ShowWindow(WindowHandle window, ShowMode mode) {
  Window(window).visible = mode != ShowMode::Hide;
  if (mode == ShowMode::Show && Window(window).request.parent == 0) {
    WindowOwner* owner = Window(window).request.owner;
    owner->OnActivated(true);
    focus_ = window;
    owner->OnGotFocus();
  }
}

void FakePlatform::EnableWindow(WindowHandle window, bool enabled) { Window(window).enabled = enabled; }

void FakePlatform::SetText(WindowHandle window, const std::string& text) {
  Window(window).text = text;
  windowTexts.emplace_back(window, text);
}

void FakePlatform::Invalidate(WindowHandle window, bool erase) {
  FakeWindow& invalidated = Window(window);
  ++invalidated.invalidations;
  if (erase) ++invalidated.erasingInvalidations;
}

void FakePlatform::ChangeStyle(WindowHandle window, std::uint32_t style) { Window(window).style = style; }

void FakePlatform::SetWindowFont(WindowHandle window, GdiHandle font, bool) { Window(window).font = font; }

void FakePlatform::SetProgramIcons(WindowHandle window) { Window(window).iconsSet = true; }

WindowHandle FakePlatform::FocusedWindow() { return focus_; }

void FakePlatform::FocusWindow(WindowHandle window) { focus_ = window; }

bool FakePlatform::IsChildOf(WindowHandle window, WindowHandle parent) {
  for (WindowHandle at = window; WindowExists(at);) {
    at = Window(at).request.parent;
    if (at == parent) return true;
  }
  return false;
}

void FakePlatform::SendClose(WindowHandle window) {
  if (Window(window).request.owner->OnCloseRequest()) DestroyWindow(window);
}

void FakePlatform::ClickButton(WindowHandle button) { Window(button).request.owner->OnNotify(win32::kButtonClicked); }

ScreenSize FakePlatform::PrimaryScreenSize() { return screen; }

void FakePlatform::ComboReset(WindowHandle combo) {
  Window(combo).items.clear();
  Window(combo).selection = -1;
}

int FakePlatform::ComboAdd(WindowHandle combo, const std::string& text) {
  Window(combo).items.push_back(FakeComboItem{text, 0});
  return static_cast<int>(Window(combo).items.size()) - 1;
}

void FakePlatform::ComboSetItemData(WindowHandle combo, int index, std::uintptr_t data) {
  Window(combo).items.at(static_cast<std::size_t>(index)).data = data;
}

std::uintptr_t FakePlatform::ComboItemData(WindowHandle combo, int index) {
  return Window(combo).items.at(static_cast<std::size_t>(index)).data;
}

int FakePlatform::ComboCount(WindowHandle combo) { return static_cast<int>(Window(combo).items.size()); }

int FakePlatform::ComboSelection(WindowHandle combo) { return Window(combo).selection; }

void FakePlatform::ComboSelect(WindowHandle combo, int index) {
  FakeWindow& list = Window(combo);
  list.selection = index >= 0 && index < static_cast<int>(list.items.size()) ? index : -1;
}

bool FakePlatform::StartTimer(WindowHandle window, unsigned id, unsigned milliseconds) {
  calls.push_back("StartTimer " + std::to_string(milliseconds));
  if (Injected(FakeCall::StartTimer) || timersFail) return false;
  Window(window).timers[id] = milliseconds;
  return true;
}

void FakePlatform::StopTimer(WindowHandle window, unsigned id) {
  calls.push_back("StopTimer");
  Window(window).timers.erase(id);
}

GdiHandle FakePlatform::CreateSolidBrush(Colour) {
  GdiHandle brush = nextGdiObject_++;
  liveGdiObjects.insert(brush);
  return brush;
}

GdiHandle FakePlatform::MakeFont(const FontRequest&) {
  if (Injected(FakeCall::MakeFont) || fontsFail) return 0;
  GdiHandle font = nextGdiObject_++;
  liveGdiObjects.insert(font);
  return font;
}

void FakePlatform::DeleteGdiObject(GdiHandle object) {
  if (liveGdiObjects.erase(object) == 0) gdiMistakes.push_back("deleted " + std::to_string(object));
}

GdiHandle FakePlatform::StockGuiFont() { return kStockGuiFont; }

Colour FakePlatform::SystemColour(int) { return kButtonFace; }

int FakePlatform::RunMessageLoop() {
  calls.push_back("RunMessageLoop");
  while (!quitPosted_) {
    if (queue_.empty()) throw std::logic_error("the message loop would wait for ever");
    std::function<void()> action = std::move(queue_.front());
    queue_.erase(queue_.begin());
    action();
  }
  return quitCode_;
}

void FakePlatform::PostQuit(int exitCode) {
  quitPosted_ = true;
  quitCode_ = exitCode;
}
