// The platform on Windows: W functions throughout, GBK converted at the edge.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"

// Sole owner of an icon handle.
class OwnedIcon {
 public:
  OwnedIcon() = default;
  explicit OwnedIcon(HICON icon) : icon_(icon) {}
  OwnedIcon(const OwnedIcon&) = delete;
  OwnedIcon& operator=(const OwnedIcon&) = delete;
  ~OwnedIcon() {
    if (icon_ != nullptr) DestroyIcon(icon_);
  }
  HICON Get() const { return icon_; }

 private:
  HICON icon_ = nullptr;
};

// A registered window message the main window answers with the number of GDI
// objects the program holds, for watching it from outside over a long run.
constexpr wchar_t kLiveGdiObjectsMessage[] = L"DiskSpaceQuery.LiveGdiObjects";

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;

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

 private:
  // What the platform knows of a window it made.
  struct Known {
    WindowOwner* owner = nullptr;
    WNDPROC systemProcedure = nullptr;  // set for the system classes it subclasses
    std::unique_ptr<OwnedIcon> bigIcon;
    std::unique_ptr<OwnedIcon> smallIcon;
    std::vector<HWND> partsOfCombo;  // a drop-down list's own list and field windows
  };

  static LRESULT CALLBACK OwnWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SystemWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT MainWindowMessage(HWND window, WindowOwner* owner, UINT message, WPARAM wParam, LPARAM lParam);
  static void Paint(HWND window, WindowOwner* owner);

  WindowOwner* OwnerOf(HWND window) const;
  // The owner a colour request from `window` (a control or a part of a drop-down list) belongs to.
  WindowOwner* ColourOwnerOf(HWND window) const;
  void Forget(HWND window);
  bool PreTranslateKey(const MSG& message);
  void RegisterClasses();
  GdiHandle Counted(HGDIOBJ object);

  static Win32Platform* instance_;
  HINSTANCE module_;
  // GDI objects made and not yet deleted. Wine reports no GDI figures of a
  // process, so the window answers this count to kLiveGdiObjectsMessage.
  long liveGdiObjects_ = 0;
  UINT liveGdiObjectsMessage_ = 0;
  std::unordered_map<HWND, Known> windows_;
  std::unordered_map<HWND, WindowOwner*> comboParts_;
};
