// The program shell: start-up, the event loop, event dispatch, fatal errors
// and shutdown, around one window table built from a window description.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/control.h"
#include "monitor/text.h"
#include "platform/platform.h"
#include "shell/window_description.h"

using Handler = void (*)();

struct NamedHandler {
  const char* name;
  Handler handler;
};

// Everything that makes one program out of the shell.
struct Program {
  const WindowDescription* description = nullptr;
  ControlNumber startWindow = 0;
  std::vector<NamedHandler> handlers;
  const void* constantTexts = nullptr;
  std::size_t constantTextsSize = 0;
  Handler startHook = nullptr;
  Handler exitHook = nullptr;
};

class MainWindow;

// Stored values of the properties every control has (0 to 7).
struct CommonProperties {
  Rect rect;
  std::string tag;
  bool visible = true;
  bool disabled = false;
  std::int32_t mousePointer = 0;
};

struct ControlRecord {
  const ControlEntry* entry = nullptr;
  CommonProperties common;
  std::vector<std::pair<std::int32_t, Handler>> bindings;
  std::unique_ptr<Control> component;  // null before building and once gone
};

struct WindowRecord {
  const WindowEntry* entry = nullptr;
  std::vector<std::pair<std::int32_t, Handler>> bindings;
  std::vector<ControlRecord> controls;  // in description order
  std::unique_ptr<MainWindow> window;   // the live window, once built
  bool loaded = false;
};

// The one shell state of a running program. Constructing it installs the
// platform and makes it the shell the global operations below act on.
class Shell {
 public:
  Shell(Platform& platform, const Program& program);
  ~Shell();
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  Platform& platform() { return platform_; }
  const Program& program() const { return program_; }

  // Start-up steps, in the order RunProgram takes them.
  void PrepareProcess();       // error mode, program folder as current directory
  void LoadDescription();      // window table and handler bindings
  void RegisterExitHook(Handler hook) { exitHook_ = hook; }

  WindowRecord* FindWindowRecord(ControlNumber window);
  ControlRecord* FindControlRecord(WindowRecord& window, ControlNumber control);
  std::vector<WindowRecord>& windows() { return windows_; }

  bool AnyWindowLive();
  // While events are held (for good, once shutting down), no handler runs.
  std::int32_t eventHold() const { return eventHold_; }
  void HoldEvents() { ++eventHold_; }
  void ForgetExitHook() { exitHook_ = nullptr; }

  // The orderly shutdown: no handler runs any more, the windows go, the exit
  // hook (if still registered) runs once, and the process ends.
  [[noreturn]] void Shutdown(std::int32_t exitCode);

  bool loopRunning = false;

 private:
  void DestroyWindows(std::vector<WindowRecord>& windows);

  Platform& platform_;
  const Program& program_;
  std::vector<WindowRecord> windows_;
  std::int32_t eventHold_ = 0;
  Handler exitHook_ = nullptr;
  Shell* previousShell_ = nullptr;
};

Shell& TheShell();

// Runs the whole program and ends the process; never returns.
[[noreturn]] void RunProgram(Platform& platform, const Program& program);

void LoadWindow(ControlNumber window);
// Runs the message loop; returns the exit code of the quit message.
int RunEventLoop();
// Calls the handler bound to the event; true when one was called.
bool RaiseEvent(ControlNumber window, ControlNumber control, std::int32_t eventIndex);
// A control (or, with control number 0, the window) whose system window is gone.
void ControlGone(ControlNumber window, ControlNumber control);
[[noreturn]] void FatalError(Text message, std::int32_t code);
[[noreturn]] void EndProgram(std::int32_t exitCode);

// The text of the fatal-error box.
std::string FatalBoxText(Text message, std::int32_t code);
// The folder part of the program's path: everything before the last backslash.
std::wstring ProgramFolderOf(const std::wstring& path);
