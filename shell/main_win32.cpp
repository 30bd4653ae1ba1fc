// The program's entry on Windows.
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "shell/disk_space_query.h"

namespace {

// DLLs come from the system directory only: never from the program's folder,
// which becomes the current directory. Looked up because systems without the
// call keep their own safe search order.
void LoadLibrariesFromSystemOnly() {
  using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  FARPROC found = kernel != nullptr ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
  if (found != nullptr) {
    reinterpret_cast<SetDefaultDirectories>(reinterpret_cast<void (*)()>(found))(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  LoadLibrariesFromSystemOnly();
  Win32Platform platform(instance);
  RunProgram(platform, DiskSpaceQueryProgram());
}
