// The thin layer over the operating system. Everything the program asks of
// Windows goes through one Platform: the Win32 implementation for the real
// program, a fake one for tests. Texts cross this boundary as GBK bytes
// (code page 936); the Win32 side converts them to and from UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win32_values.h"

using WindowHandle = std::uintptr_t;  // 0 is no window
using GdiHandle = std::uintptr_t;     // 0 is no object
using Colour = std::uint32_t;         // 0x00BBGGRR

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool operator==(const Rect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

struct ScreenSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A font request in the layout of LOGFONT, with the face name in GBK.
struct FontRequest {
  std::int32_t height = 0;
  std::int32_t width = 0;
  std::int32_t escapement = 0;
  std::int32_t orientation = 0;
  std::int32_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = 0;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::string faceName;
};

// Figures of the extended disk query, in bytes.
struct DiskBytes {
  std::uint64_t freeToCaller = 0;
  std::uint64_t total = 0;
  std::uint64_t totalFree = 0;
};

// Figures of the older cluster-based disk query.
struct DiskClusters {
  std::uint32_t sectorsPerCluster = 0;
  std::uint32_t bytesPerSector = 0;
  std::uint32_t freeClusters = 0;
  std::uint32_t totalClusters = 0;
};

enum class DiskQueryOutcome { Answered, Failed, Unavailable };

enum class WindowKind { Main, Label, Timer, PushButton, ComboBox };

enum class ShowMode { Hide, ShowWithoutActivating, Show };

struct KeyPress {
  unsigned key = 0;  // virtual-key code
  bool shift = false;
  bool control = false;
  bool alt = false;
};

// What a control answers when the system asks for its colours.
struct ColourAnswer {
  Colour text = 0;
  Colour background = 0;
  GdiHandle brush = 0;
};

// Drawing surface handed to a window while it paints.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual bool HasAreaToPaint() const = 0;
  virtual Rect ClientRect() const = 0;
  virtual void FillArea(Colour colour) = 0;
  // Draws GBK text into `bounds` with DrawText `format` flags, transparent background.
  virtual void DrawTextIn(const std::string& text, const Rect& bounds, unsigned format, GdiHandle font,
                          Colour colour) = 0;
};

// Receives what happens to a system window. The platform calls these on the
// UI thread from inside its window procedures. OnGone is the last call an
// owner receives for its window; the owner may be freed inside it.
class WindowOwner {
 public:
  virtual ~WindowOwner() = default;
  virtual void OnCreated(WindowHandle /*window*/) {}
  virtual void OnDestroying() {}
  virtual void OnGone() {}
  virtual void OnTimer() {}
  virtual void OnNotify(unsigned /*code*/) {}
  virtual void OnFocusChanged(bool /*gained*/) {}
  virtual bool OnColourRequest(ColourAnswer& /*answer*/) { return false; }
  virtual bool OnKeyDown(const KeyPress& /*key*/) { return false; }
  virtual void OnPaint(Canvas& /*canvas*/) {}
  // Top-level windows only.
  virtual bool OnCloseRequest() { return true; }
  virtual void OnActivated(bool /*active*/) {}
  virtual void OnGotFocus() {}
  virtual void OnLostFocus() {}
  virtual void OnMoved() {}
  virtual void OnResized() {}
};

struct WindowRequest {
  WindowKind kind = WindowKind::Label;
  WindowHandle parent = 0;
  int childId = 0;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Rect rect;
  std::string text;  // GBK
  WindowOwner* owner = nullptr;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Storage for owned texts. Null when it cannot be obtained.
  virtual void* AllocateBytes(std::size_t size) = 0;
  virtual void FreeBytes(void* block) = 0;

  // Process.
  virtual void SetQuietErrorMode() = 0;
  virtual std::wstring ModuleFileName() = 0;  // empty when it cannot be read
  virtual bool ChangeDirectory(const std::wstring& folder) = 0;
  virtual std::wstring WorkingDirectory() = 0;  // empty when the call fails
  virtual void ResetFloatingPoint() = 0;
  virtual void ShowErrorBox(const std::string& text, const std::string& caption) = 0;
  [[noreturn]] virtual void EndProcess(std::uint32_t exitCode) = 0;

  // Disks and drives. Roots are three ASCII characters such as "C:\".
  virtual DiskQueryOutcome QueryDiskBytes(const char* root, DiskBytes& figures) = 0;
  virtual bool QueryDiskClusters(const char* root, DiskClusters& figures) = 0;
  // The root strings, each ended by a zero byte, as the system lists them.
  virtual std::string LogicalDriveStrings() = 0;
  virtual unsigned DriveType(const char* root) = 0;
  virtual std::string VolumeLabel(const char* root) = 0;  // GBK; empty when none or on failure

  // Windows.
  virtual WindowHandle MakeWindow(const WindowRequest& request) = 0;  // 0 on failure
  virtual void DestroyWindow(WindowHandle window) = 0;
  virtual bool WindowExists(WindowHandle window) = 0;
  // Outer rectangle: screen coordinates for a top-level window, parent client
  // coordinates for a child.
  virtual Rect WindowRect(WindowHandle window) = 0;
  virtual void PlaceWindow(WindowHandle window, const Rect& rect) = 0;
  virtual void PlaceOnTop(WindowHandle window) = 0;
  virtual void PlaceBelow(WindowHandle window, WindowHandle above) = 0;
  virtual void ShowWindow(WindowHandle window, ShowMode mode) = 0;
  virtual void EnableWindow(WindowHandle window, bool enabled) = 0;
  virtual void SetText(WindowHandle window, const std::string& text) = 0;
  virtual void Invalidate(WindowHandle window, bool erase) = 0;
  virtual void ChangeStyle(WindowHandle window, std::uint32_t style) = 0;  // refreshes the frame
  virtual void SetWindowFont(WindowHandle window, GdiHandle font, bool redraw) = 0;
  virtual void SetProgramIcons(WindowHandle window) = 0;
  virtual WindowHandle FocusedWindow() = 0;
  virtual void FocusWindow(WindowHandle window) = 0;
  virtual bool IsChildOf(WindowHandle window, WindowHandle parent) = 0;
  virtual void SendClose(WindowHandle window) = 0;
  virtual void ClickButton(WindowHandle button) = 0;
  virtual ScreenSize PrimaryScreenSize() = 0;

  // Drop-down lists.
  virtual void ComboReset(WindowHandle combo) = 0;
  virtual int ComboAdd(WindowHandle combo, const std::string& text) = 0;  // index of the new item
  virtual void ComboSetItemData(WindowHandle combo, int index, std::uintptr_t data) = 0;
  virtual std::uintptr_t ComboItemData(WindowHandle combo, int index) = 0;
  virtual int ComboCount(WindowHandle combo) = 0;
  virtual int ComboSelection(WindowHandle combo) = 0;  // -1 when none
  virtual void ComboSelect(WindowHandle combo, int index) = 0;

  // Timers on a window.
  virtual bool StartTimer(WindowHandle window, unsigned id, unsigned milliseconds) = 0;
  virtual void StopTimer(WindowHandle window, unsigned id) = 0;

  // GDI objects.
  virtual GdiHandle CreateSolidBrush(Colour colour) = 0;
  virtual GdiHandle MakeFont(const FontRequest& request) = 0;  // 0 when it cannot be made
  virtual void DeleteGdiObject(GdiHandle object) = 0;
  virtual GdiHandle StockGuiFont() = 0;
  virtual Colour SystemColour(int index) = 0;

  // The message loop of the UI thread; returns the exit code of the quit message.
  virtual int RunMessageLoop() = 0;
  virtual void PostQuit(int exitCode) = 0;
};

// The platform the program runs on. Installed once at start-up (and by tests).
Platform& ThePlatform();
void InstallPlatform(Platform* platform);
