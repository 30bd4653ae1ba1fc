#include "platform/win32/win32_platform.h"

#include <float.h>

#include <cstdlib>
#include <vector>

#include "platform/icon_directory.h"
#include "platform/win32/code_page.h"

// The values portable code decides with are the system's own.
static_assert(win32::kChild == WS_CHILD && win32::kVisible == WS_VISIBLE && win32::kDisabled == WS_DISABLED &&
                  win32::kClipSiblings == WS_CLIPSIBLINGS && win32::kClipChildren == WS_CLIPCHILDREN &&
                  win32::kCaption == WS_CAPTION && win32::kVScroll == WS_VSCROLL && win32::kSysMenu == WS_SYSMENU &&
                  win32::kThickFrame == WS_THICKFRAME && win32::kMinimizeBox == WS_MINIMIZEBOX &&
                  win32::kMaximizeBox == WS_MAXIMIZEBOX && win32::kTabStop == WS_TABSTOP,
              "window styles");
static_assert(win32::kPushButton == BS_PUSHBUTTON && win32::kDefPushButton == BS_DEFPUSHBUTTON &&
                  win32::kButtonIcon == BS_ICON && win32::kButtonBitmap == BS_BITMAP &&
                  win32::kButtonLeft == BS_LEFT && win32::kButtonRight == BS_RIGHT &&
                  win32::kButtonCenter == BS_CENTER && win32::kButtonTop == BS_TOP &&
                  win32::kButtonBottom == BS_BOTTOM && win32::kButtonVCenter == BS_VCENTER &&
                  win32::kButtonMultiline == BS_MULTILINE,
              "button styles");
static_assert(win32::kButtonClicked == BN_CLICKED && win32::kComboSetFocus == CBN_SETFOCUS &&
                  win32::kComboKillFocus == CBN_KILLFOCUS && win32::kComboSelEndOk == CBN_SELENDOK,
              "notifications");
static_assert(win32::kDriveUnknown == DRIVE_UNKNOWN && win32::kDriveNoRootDir == DRIVE_NO_ROOT_DIR &&
                  win32::kDriveRemovable == DRIVE_REMOVABLE && win32::kDriveFixed == DRIVE_FIXED &&
                  win32::kDriveRemote == DRIVE_REMOTE && win32::kDriveCdrom == DRIVE_CDROM &&
                  win32::kDriveRamdisk == DRIVE_RAMDISK,
              "drive kinds");
static_assert(win32::kTextCenter == DT_CENTER && win32::kTextRight == DT_RIGHT && win32::kTextVCenter == DT_VCENTER &&
                  win32::kTextBottom == DT_BOTTOM && win32::kTextWordBreak == DT_WORDBREAK &&
                  win32::kTextSingleLine == DT_SINGLELINE && win32::kTextNoClip == DT_NOCLIP,
              "text formats");
static_assert(win32::kKeyTab == VK_TAB && win32::kKeyReturn == VK_RETURN && win32::kKeyEscape == VK_ESCAPE,
              "keys");
static_assert(win32::kColourButtonFace == COLOR_BTNFACE && win32::kDefaultCharset == DEFAULT_CHARSET &&
                  win32::kOutDefaultPrecision == OUT_DEFAULT_PRECIS &&
                  win32::kClipDefaultPrecision == CLIP_DEFAULT_PRECIS && win32::kProofQuality == PROOF_QUALITY &&
                  win32::kDefaultPitch == DEFAULT_PITCH,
              "colours and fonts");

namespace {

const wchar_t kMainClass[] = L"DiskSpaceQuery.Window";
const wchar_t kLabelClass[] = L"DiskSpaceQuery.Label";
const wchar_t kTimerClass[] = L"DiskSpaceQuery.Timer";
constexpr int kProgramIconId = 1;

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle Handle(HWND window) { return reinterpret_cast<WindowHandle>(window); }
HGDIOBJ GdiObject(GdiHandle object) { return reinterpret_cast<HGDIOBJ>(object); }
GdiHandle Gdi(HGDIOBJ object) { return reinterpret_cast<GdiHandle>(object); }

std::wstring WideRoot(const char* root) {
  std::wstring wide;
  for (const char* c = root; *c != '\0'; ++c) wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  return wide;
}

// Keeps an object selected into a device context for one scope.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ~ScopedSelectObject() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// One WM_PAINT: BeginPaint on entry, EndPaint on every way out.
class PaintCanvas : public Canvas {
 public:
  explicit PaintCanvas(HWND window) : window_(window) {
    dc_ = BeginPaint(window_, &paint_);
    GetClientRect(window_, &client_);
  }
  PaintCanvas(const PaintCanvas&) = delete;
  PaintCanvas& operator=(const PaintCanvas&) = delete;
  ~PaintCanvas() override { EndPaint(window_, &paint_); }

  bool HasAreaToPaint() const override { return dc_ != nullptr && !IsRectEmpty(&paint_.rcPaint); }
  Rect ClientRect() const override { return Rect{client_.left, client_.top, client_.right, client_.bottom}; }

  void FillArea(Colour colour) override {
    // The DC brush is a solid brush that needs no creating or freeing.
    SetDCBrushColor(dc_, colour);
    FillRect(dc_, &paint_.rcPaint, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }

  void DrawTextIn(const std::string& text, const Rect& bounds, unsigned format, GdiHandle font,
                  Colour colour) override {
    ScopedSelectObject selected(dc_, GdiObject(font));
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, colour);
    RECT area{bounds.left, bounds.top, bounds.right, bounds.bottom};
    std::wstring wide = WideFromGbk(text);
    DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &area, format);
  }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  RECT client_{};
  HDC dc_ = nullptr;
};

// An icon of the program's main icon resource in the given size and colour depth.
HICON LoadProgramIcon(HINSTANCE module, int size, int bitCount) {
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(kProgramIconId), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  HGLOBAL groupData = group != nullptr ? LoadResource(module, group) : nullptr;
  const void* directory = groupData != nullptr ? LockResource(groupData) : nullptr;
  if (directory == nullptr) return nullptr;
  int id = IconResourceId(static_cast<const unsigned char*>(directory), SizeofResource(module, group), size, size,
                          bitCount);
  HRSRC image = id >= 0 ? FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3)) : nullptr;  // RT_ICON
  HGLOBAL imageData = image != nullptr ? LoadResource(module, image) : nullptr;
  void* bits = imageData != nullptr ? LockResource(imageData) : nullptr;
  if (bits == nullptr) return nullptr;
  return CreateIconFromResourceEx(static_cast<PBYTE>(bits), SizeofResource(module, image), TRUE, 0x00030000, size,
                                  size, LR_DEFAULTCOLOR);
}

}  // namespace

Win32Platform* Win32Platform::instance_ = nullptr;

Win32Platform::Win32Platform(HINSTANCE module)
    : module_(module), liveGdiObjectsMessage_(RegisterWindowMessageW(kLiveGdiObjectsMessage)) {
  instance_ = this;
  RegisterClasses();
}

Win32Platform::~Win32Platform() { instance_ = nullptr; }

void Win32Platform::RegisterClasses() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &Win32Platform::OwnWindowProcedure;
  windowClass.hInstance = module_;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  // No background brushes: the windows paint every pixel themselves, so
  // nothing is erased to another colour first.
  windowClass.style = CS_DBLCLKS;
  windowClass.lpszClassName = kMainClass;
  RegisterClassExW(&windowClass);
  windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  windowClass.lpszClassName = kLabelClass;
  RegisterClassExW(&windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  windowClass.lpszClassName = kTimerClass;
  RegisterClassExW(&windowClass);
}

void* Win32Platform::AllocateBytes(std::size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void Win32Platform::FreeBytes(void* block) { HeapFree(GetProcessHeap(), 0, block); }

void Win32Platform::SetQuietErrorMode() {
  SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

std::wstring Win32Platform::ModuleFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return std::wstring();  // longer than any path can be
    path.resize(path.size() * 2);
  }
}

bool Win32Platform::ChangeDirectory(const std::wstring& folder) { return SetCurrentDirectoryW(folder.c_str()) != 0; }

std::wstring Win32Platform::WorkingDirectory() {
  DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return std::wstring();
  std::wstring directory(needed, L'\0');
  DWORD length = GetCurrentDirectoryW(needed, &directory[0]);
  if (length == 0 || length >= needed) return std::wstring();
  directory.resize(length);
  return directory;
}

void Win32Platform::ResetFloatingPoint() {
  _fpreset();  // round to nearest, every exception masked
#if defined(_M_IX86) || defined(__i386__)
  _controlfp(_PC_64, _MCW_PC);  // extended precision for the x87 unit
#endif
}

void Win32Platform::ShowErrorBox(const std::string& text, const std::string& caption) {
  MessageBoxW(nullptr, WideFromGbk(text).c_str(), WideFromGbk(caption).c_str(), MB_OK | MB_ICONERROR);
}

void Win32Platform::EndProcess(std::uint32_t exitCode) { ExitProcess(exitCode); }

DiskQueryOutcome Win32Platform::QueryDiskBytes(const char* root, DiskBytes& figures) {
  // Looked up at every call, as systems without it answer through the older query.
  using ExtendedQuery = BOOL(WINAPI*)(LPCWSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  FARPROC found = kernel != nullptr ? GetProcAddress(kernel, "GetDiskFreeSpaceExW") : nullptr;
  if (found == nullptr) return DiskQueryOutcome::Unavailable;
  ExtendedQuery query = reinterpret_cast<ExtendedQuery>(reinterpret_cast<void (*)()>(found));
  ULARGE_INTEGER freeToCaller{}, total{}, totalFree{};
  if (!query(WideRoot(root).c_str(), &freeToCaller, &total, &totalFree)) return DiskQueryOutcome::Failed;
  figures.freeToCaller = freeToCaller.QuadPart;
  figures.total = total.QuadPart;
  figures.totalFree = totalFree.QuadPart;
  return DiskQueryOutcome::Answered;
}

bool Win32Platform::QueryDiskClusters(const char* root, DiskClusters& figures) {
  DWORD sectors = 0, bytes = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceW(WideRoot(root).c_str(), &sectors, &bytes, &freeClusters, &totalClusters)) return false;
  figures.sectorsPerCluster = sectors;
  figures.bytesPerSector = bytes;
  figures.freeClusters = freeClusters;
  figures.totalClusters = totalClusters;
  return true;
}

std::string Win32Platform::LogicalDriveStrings() {
  wchar_t buffer[260];
  buffer[0] = L'\0';
  DWORD length = GetLogicalDriveStringsW(260, buffer);
  if (length == 0 || length >= 260) return std::string();
  std::string roots;
  for (DWORD i = 0; i < length; ++i) roots += buffer[i] < 0x80 ? static_cast<char>(buffer[i]) : '?';
  return roots;
}

unsigned Win32Platform::DriveType(const char* root) { return GetDriveTypeW(WideRoot(root).c_str()); }

std::string Win32Platform::VolumeLabel(const char* root) {
  wchar_t name[MAX_PATH + 1];
  if (!GetVolumeInformationW(WideRoot(root).c_str(), name, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
    return std::string();
  }
  return GbkFromWide(name);
}

WindowHandle Win32Platform::MakeWindow(const WindowRequest& request) {
  const Rect& rect = request.rect;
  std::wstring text = WideFromGbk(request.text);
  HWND parent = Hwnd(request.parent);
  HMENU childId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(request.childId));
  const wchar_t* ownClass = nullptr;
  const wchar_t* systemClass = nullptr;
  switch (request.kind) {
    case WindowKind::Main:
      ownClass = kMainClass;
      childId = nullptr;
      break;
    case WindowKind::Label:
      ownClass = kLabelClass;
      break;
    case WindowKind::Timer:
      ownClass = kTimerClass;
      break;
    case WindowKind::PushButton:
      systemClass = L"BUTTON";
      break;
    case WindowKind::ComboBox:
      systemClass = L"COMBOBOX";
      break;
  }
  if (ownClass != nullptr) {
    // The owner is known from WM_NCCREATE on and hears of WM_CREATE itself.
    HWND made = CreateWindowExW(request.exStyle, ownClass, text.c_str(), request.style, rect.left, rect.top, rect.Width(),
                                rect.Height(), parent, childId, module_, request.owner);
    return Handle(made);
  }
  HWND made = CreateWindowExW(request.exStyle, systemClass, text.c_str(), request.style, rect.left, rect.top, rect.Width(),
                              rect.Height(), parent, childId, module_, nullptr);
  if (made == nullptr) return 0;
  Known& known = windows_[made];
  known.owner = request.owner;
  known.systemProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(made, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Platform::SystemWindowProcedure)));
  if (request.kind == WindowKind::ComboBox) {
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (GetComboBoxInfo(made, &parts)) {
      for (HWND part : {parts.hwndItem, parts.hwndList}) {
        if (part != nullptr && part != made) {
          known.partsOfCombo.push_back(part);
          comboParts_[part] = request.owner;
        }
      }
    }
  }
  if (request.owner != nullptr) request.owner->OnCreated(Handle(made));
  return Handle(made);
}

void Win32Platform::DestroyWindow(WindowHandle window) { ::DestroyWindow(Hwnd(window)); }

bool Win32Platform::WindowExists(WindowHandle window) { return window != 0 && IsWindow(Hwnd(window)) != 0; }

Rect Win32Platform::WindowRect(WindowHandle window) {
  RECT rect{};
  GetWindowRect(Hwnd(window), &rect);
  HWND parent = GetParent(Hwnd(window));
  if (parent != nullptr && (GetWindowLongPtrW(Hwnd(window), GWL_STYLE) & WS_CHILD) != 0) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

void Win32Platform::PlaceWindow(WindowHandle window, const Rect& rect) {
  SetWindowPos(Hwnd(window), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Platform::PlaceOnTop(WindowHandle window) {
  SetWindowPos(Hwnd(window), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Platform::PlaceBelow(WindowHandle window, WindowHandle above) {
  SetWindowPos(Hwnd(window), Hwnd(above), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Platform::ShowWindow(WindowHandle window, ShowMode mode) {
  static const int kCommands[] = {SW_HIDE, SW_SHOWNA, SW_SHOW};
  ::ShowWindow(Hwnd(window), kCommands[static_cast<int>(mode)]);
}

void Win32Platform::EnableWindow(WindowHandle window, bool enabled) { ::EnableWindow(Hwnd(window), enabled); }

void Win32Platform::SetText(WindowHandle window, const std::string& text) {
  SetWindowTextW(Hwnd(window), WideFromGbk(text).c_str());
}

void Win32Platform::Invalidate(WindowHandle window, bool erase) { InvalidateRect(Hwnd(window), nullptr, erase); }

void Win32Platform::ChangeStyle(WindowHandle window, std::uint32_t style) {
  SetWindowLongPtrW(Hwnd(window), GWL_STYLE, static_cast<LONG_PTR>(style));
  SetWindowPos(Hwnd(window), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Platform::SetWindowFont(WindowHandle window, GdiHandle font, bool redraw) {
  SendMessageW(Hwnd(window), WM_SETFONT, static_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

void Win32Platform::SetProgramIcons(WindowHandle window) {
  auto known = windows_.find(Hwnd(window));
  if (known == windows_.end()) return;
  // The 16-colour images, as the classic look wants them.
  known->second.bigIcon.reset(new OwnedIcon(LoadProgramIcon(module_, 32, 4)));
  known->second.smallIcon.reset(new OwnedIcon(LoadProgramIcon(module_, 16, 4)));
  SendMessageW(Hwnd(window), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(known->second.bigIcon->Get()));
  SendMessageW(Hwnd(window), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(known->second.smallIcon->Get()));
}

WindowHandle Win32Platform::FocusedWindow() { return Handle(GetFocus()); }

void Win32Platform::FocusWindow(WindowHandle window) { SetFocus(Hwnd(window)); }

bool Win32Platform::IsChildOf(WindowHandle window, WindowHandle parent) {
  return IsChild(Hwnd(parent), Hwnd(window)) != 0;
}

void Win32Platform::SendClose(WindowHandle window) { SendMessageW(Hwnd(window), WM_CLOSE, 0, 0); }

void Win32Platform::ClickButton(WindowHandle button) { SendMessageW(Hwnd(button), BM_CLICK, 0, 0); }

ScreenSize Win32Platform::PrimaryScreenSize() {
  return ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void Win32Platform::ComboReset(WindowHandle combo) { SendMessageW(Hwnd(combo), CB_RESETCONTENT, 0, 0); }

int Win32Platform::ComboAdd(WindowHandle combo, const std::string& text) {
  std::wstring wide = WideFromGbk(text);
  return static_cast<int>(SendMessageW(Hwnd(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

void Win32Platform::ComboSetItemData(WindowHandle combo, int index, std::uintptr_t data) {
  SendMessageW(Hwnd(combo), CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

std::uintptr_t Win32Platform::ComboItemData(WindowHandle combo, int index) {
  return static_cast<std::uintptr_t>(SendMessageW(Hwnd(combo), CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int Win32Platform::ComboCount(WindowHandle combo) {
  return static_cast<int>(SendMessageW(Hwnd(combo), CB_GETCOUNT, 0, 0));
}

int Win32Platform::ComboSelection(WindowHandle combo) {
  return static_cast<int>(SendMessageW(Hwnd(combo), CB_GETCURSEL, 0, 0));
}

void Win32Platform::ComboSelect(WindowHandle combo, int index) {
  SendMessageW(Hwnd(combo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool Win32Platform::StartTimer(WindowHandle window, unsigned id, unsigned milliseconds) {
  return SetTimer(Hwnd(window), id, milliseconds, nullptr) != 0;
}

void Win32Platform::StopTimer(WindowHandle window, unsigned id) { KillTimer(Hwnd(window), id); }

GdiHandle Win32Platform::Counted(HGDIOBJ object) {
  if (object != nullptr) ++liveGdiObjects_;
  return Gdi(object);
}

GdiHandle Win32Platform::CreateSolidBrush(Colour colour) { return Counted(::CreateSolidBrush(colour)); }

GdiHandle Win32Platform::MakeFont(const FontRequest& request) {
  LOGFONTW font{};
  font.lfHeight = request.height;
  font.lfWidth = request.width;
  font.lfEscapement = request.escapement;
  font.lfOrientation = request.orientation;
  font.lfWeight = request.weight;
  font.lfItalic = request.italic;
  font.lfUnderline = request.underline;
  font.lfStrikeOut = request.strikeOut;
  font.lfCharSet = request.charSet;
  font.lfOutPrecision = request.outPrecision;
  font.lfClipPrecision = request.clipPrecision;
  font.lfQuality = request.quality;
  font.lfPitchAndFamily = request.pitchAndFamily;
  std::wstring face = WideFromGbk(request.faceName).substr(0, LF_FACESIZE - 1);
  face.copy(font.lfFaceName, face.size());
  return Counted(CreateFontIndirectW(&font));
}

void Win32Platform::DeleteGdiObject(GdiHandle object) {
  if (DeleteObject(GdiObject(object))) --liveGdiObjects_;
}

GdiHandle Win32Platform::StockGuiFont() { return Gdi(GetStockObject(DEFAULT_GUI_FONT)); }

Colour Win32Platform::SystemColour(int index) { return GetSysColor(index); }

int Win32Platform::RunMessageLoop() {
  MSG message;
  for (;;) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 0;  // only an invalid window filter fails, and there is none
    if (PreTranslateKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32Platform::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

bool Win32Platform::PreTranslateKey(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  KeyPress key;
  key.key = static_cast<unsigned>(message.wParam);
  key.shift = GetKeyState(VK_SHIFT) < 0;
  key.control = GetKeyState(VK_CONTROL) < 0;
  key.alt = GetKeyState(VK_MENU) < 0;
  // Offered to the target window, then to each window it sits in.
  for (HWND window = message.hwnd; window != nullptr;) {
    WindowOwner* owner = OwnerOf(window);
    if (owner != nullptr && owner->OnKeyDown(key)) return true;
    if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0) break;
    window = GetParent(window);
  }
  return false;
}

WindowOwner* Win32Platform::OwnerOf(HWND window) const {
  auto known = windows_.find(window);
  return known != windows_.end() ? known->second.owner : nullptr;
}

WindowOwner* Win32Platform::ColourOwnerOf(HWND window) const {
  if (WindowOwner* owner = OwnerOf(window)) return owner;
  auto part = comboParts_.find(window);
  return part != comboParts_.end() ? part->second : nullptr;
}

void Win32Platform::Forget(HWND window) {
  auto known = windows_.find(window);
  if (known == windows_.end()) return;
  for (HWND part : known->second.partsOfCombo) comboParts_.erase(part);
  windows_.erase(known);
}

void Win32Platform::Paint(HWND window, WindowOwner* owner) {
  PaintCanvas canvas(window);
  owner->OnPaint(canvas);
}

LRESULT CALLBACK Win32Platform::OwnWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32Platform* platform = instance_;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    platform->windows_[window].owner = static_cast<WindowOwner*>(create->lpCreateParams);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  WindowOwner* owner = platform->OwnerOf(window);
  if (owner == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE: {
      LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      if (result == -1) return -1;
      owner->OnCreated(Handle(window));
      return 0;
    }
    case WM_DESTROY:
      owner->OnDestroying();
      return 0;
    case WM_NCDESTROY: {
      LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      platform->Forget(window);
      owner->OnGone();  // may free the owner: nothing follows
      return result;
    }
    case WM_TIMER: {
      LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      owner->OnTimer();
      return result;
    }
    case WM_PAINT:
      Paint(window, owner);
      return 0;
    default:
      break;
  }
  if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0) {
    return MainWindowMessage(window, owner, message, wParam, lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32Platform::MainWindowMessage(HWND window, WindowOwner* owner, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  Win32Platform* platform = instance_;
  if (message == platform->liveGdiObjectsMessage_) return platform->liveGdiObjects_;
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0) {
        if (WindowOwner* control = platform->OwnerOf(reinterpret_cast<HWND>(lParam))) {
          control->OnNotify(HIWORD(wParam));
          return 0;
        }
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
      // Reflected to the control that asks, which answers with its own brush.
      WindowOwner* control = platform->ColourOwnerOf(reinterpret_cast<HWND>(lParam));
      ColourAnswer answer;
      if (control != nullptr && control->OnColourRequest(answer)) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, answer.text);
        SetBkColor(dc, answer.background);
        return static_cast<LRESULT>(answer.brush);
      }
      break;
    }
    case WM_CLOSE:
      if (owner->OnCloseRequest()) ::DestroyWindow(window);
      return 0;
    case WM_ACTIVATE:
      owner->OnActivated(LOWORD(wParam) != WA_INACTIVE);
      break;
    case WM_SETFOCUS:
      owner->OnGotFocus();
      return 0;
    case WM_KILLFOCUS:
      owner->OnLostFocus();
      return 0;
    case WM_MOVE:
      owner->OnMoved();
      return 0;
    case WM_SIZE:
      owner->OnResized();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Platform::SystemWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32Platform* platform = instance_;
  auto known = platform->windows_.find(window);
  if (known == platform->windows_.end()) return DefWindowProcW(window, message, wParam, lParam);
  WNDPROC system = known->second.systemProcedure;
  WindowOwner* owner = known->second.owner;
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      LRESULT result = CallWindowProcW(system, window, message, wParam, lParam);
      if (owner != nullptr) owner->OnFocusChanged(message == WM_SETFOCUS);
      return result;
    }
    case WM_DESTROY:
      if (owner != nullptr) owner->OnDestroying();
      break;
    case WM_NCDESTROY: {
      LRESULT result = CallWindowProcW(system, window, message, wParam, lParam);
      platform->Forget(window);
      if (owner != nullptr) owner->OnGone();  // may free the owner: nothing follows
      return result;
    }
    default:
      break;
  }
  return CallWindowProcW(system, window, message, wParam, lParam);
}
