#include "shell/program.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>

#include "shell/main_window.h"
#include "shell/shell_texts.h"

namespace {

Shell* g_shell = nullptr;

Handler FindHandler(const Program& program, const char* name) {
  if (name == nullptr) return nullptr;
  for (const NamedHandler& named : program.handlers) {
    if (named.name != nullptr && std::strcmp(named.name, name) == 0) return named.handler;
  }
  return nullptr;
}

// Resolves bindings to handlers; false when one names no handler of the program.
bool ResolveBindings(const Program& program, const std::vector<EventBinding>& bindings,
                     std::vector<std::pair<std::int32_t, Handler>>& resolved) {
  for (const EventBinding& binding : bindings) {
    Handler handler = FindHandler(program, binding.handlerName);
    if (handler == nullptr) return false;
    resolved.emplace_back(binding.eventIndex, handler);
  }
  return true;
}

Handler BoundHandler(const std::vector<std::pair<std::int32_t, Handler>>& bindings, std::int32_t eventIndex) {
  for (const auto& binding : bindings) {
    if (binding.first == eventIndex) return binding.second;
  }
  return nullptr;
}

}  // namespace

Shell::Shell(Platform& platform, const Program& program)
    : platform_(platform), program_(program), previousShell_(g_shell) {
  InstallPlatform(&platform_);
  g_shell = this;
}

Shell::~Shell() {
  DestroyWindows(windows_);
  g_shell = previousShell_;
  InstallPlatform(previousShell_ != nullptr ? &previousShell_->platform_ : nullptr);
}

void Shell::DestroyWindows(std::vector<WindowRecord>& windows) {
  // Windows still standing go before the records that own their controls.
  for (WindowRecord& window : windows) {
    if (window.window != nullptr && window.loaded) platform_.DestroyWindow(window.window->handle());
  }
  windows.clear();
}

Shell& TheShell() {
  if (g_shell == nullptr) std::abort();  // nothing runs before start-up builds the shell
  return *g_shell;
}

void Shell::PrepareProcess() {
  platform_.SetQuietErrorMode();
  platform_.ChangeDirectory(ProgramFolderOf(platform_.ModuleFileName()));
}

void Shell::LoadDescription() {
  const WindowDescription* description = program_.description;
  bool readable = description != nullptr && !description->windows.empty();
  std::vector<WindowRecord> windows;
  std::set<ControlNumber> windowNumbers;
  if (readable) {
    for (const WindowEntry& windowEntry : description->windows) {
      WindowRecord window;
      window.entry = &windowEntry;
      readable = readable && windowNumbers.insert(windowEntry.number).second &&
                 ResolveBindings(program_, windowEntry.bindings, window.bindings);
      std::set<ControlNumber> controlNumbers;
      for (const ControlEntry& controlEntry : windowEntry.controls) {
        ControlRecord control;
        control.entry = &controlEntry;
        control.common.rect = Rect{controlEntry.left, controlEntry.top, controlEntry.left + controlEntry.width,
                                   controlEntry.top + controlEntry.height};
        control.common.tag = controlEntry.tag != nullptr ? controlEntry.tag : "";
        control.common.visible = controlEntry.visible;
        control.common.disabled = controlEntry.disabled;
        readable = readable && controlEntry.number != 0 && controlNumbers.insert(controlEntry.number).second &&
                   ResolveBindings(program_, controlEntry.bindings, control.bindings);
        window.controls.push_back(std::move(control));
      }
      windows.push_back(std::move(window));
    }
  }
  if (!readable) FatalError(kDescriptionUnreadable, 0);
  windows_ = std::move(windows);
}

WindowRecord* Shell::FindWindowRecord(ControlNumber number) {
  for (WindowRecord& window : windows_) {
    if (window.entry->number == number) return &window;
  }
  return nullptr;
}

ControlRecord* Shell::FindControlRecord(WindowRecord& window, ControlNumber number) {
  for (ControlRecord& control : window.controls) {
    if (control.entry->number == number) return &control;
  }
  return nullptr;
}

bool Shell::AnyWindowLive() {
  for (WindowRecord& window : windows_) {
    if (window.loaded && window.window != nullptr && platform_.WindowExists(window.window->handle())) return true;
  }
  return false;
}

void Shell::Shutdown(std::int32_t exitCode) {
  HoldEvents();
  // Empty the window table first, so that windows destroyed now find no
  // record to report to; then let them and their controls go.
  std::vector<WindowRecord> windows = std::move(windows_);
  windows_.clear();
  DestroyWindows(windows);
  Handler exitHook = exitHook_;
  exitHook_ = nullptr;
  if (exitHook != nullptr) exitHook();
  platform_.EndProcess(static_cast<std::uint32_t>(exitCode));
  std::abort();  // a platform's EndProcess never comes back
}

void RunProgram(Platform& platform, const Program& program) {
  Shell shell(platform, program);
  shell.PrepareProcess();
  RegisterConstantTexts(program.constantTexts, program.constantTextsSize);
  shell.LoadDescription();
  platform.ResetFloatingPoint();
  if (program.startHook != nullptr) program.startHook();
  shell.RegisterExitHook(program.exitHook);
  LoadWindow(program.startWindow);
  int exitCode = RunEventLoop();
  shell.Shutdown(exitCode);
}

void LoadWindow(ControlNumber number) {
  Shell& shell = TheShell();
  WindowRecord* window = shell.FindWindowRecord(number);
  if (window == nullptr) FatalError(kStartWindowFailed, 0);
  window->window.reset(new MainWindow(shell, *window));
  if (!window->window->Build()) FatalError(kStartWindowFailed, 0);
}

int RunEventLoop() {
  Shell& shell = TheShell();
  shell.loopRunning = true;
  if (!shell.AnyWindowLive()) return 0;
  return shell.platform().RunMessageLoop();
}

bool RaiseEvent(ControlNumber windowNumber, ControlNumber controlNumber, std::int32_t eventIndex) {
  Shell& shell = TheShell();
  if (shell.eventHold() > 0) return false;
  WindowRecord* window = shell.FindWindowRecord(windowNumber);
  if (window == nullptr) FatalError(kEventWindowMissing, 0);
  Handler handler;
  if (controlNumber == 0) {
    handler = BoundHandler(window->bindings, eventIndex);
  } else {
    ControlRecord* control = shell.FindControlRecord(*window, controlNumber);
    if (control == nullptr) FatalError(kEventControlMissing, 0);
    handler = BoundHandler(control->bindings, eventIndex);
  }
  if (handler == nullptr) return false;
  handler();
  return true;
}

void ControlGone(ControlNumber windowNumber, ControlNumber controlNumber) {
  Shell& shell = TheShell();
  WindowRecord* window = shell.FindWindowRecord(windowNumber);
  if (window == nullptr) return;  // the table is already empty: shutting down
  if (controlNumber != 0) {
    // The control reports this as the last thing it does; freeing it here is safe.
    ControlRecord* control = shell.FindControlRecord(*window, controlNumber);
    if (control != nullptr) control->component.reset();
    return;
  }
  window->loaded = false;
  for (ControlRecord& control : window->controls) control.component.reset();
  if (shell.loopRunning && !shell.AnyWindowLive()) shell.platform().PostQuit(0);
}

void FatalError(Text message, std::int32_t code) {
  Shell& shell = TheShell();
  shell.HoldEvents();
  shell.platform().ShowErrorBox(FatalBoxText(message, code), kErrorCaption);
  shell.ForgetExitHook();
  EndProgram(-1);
}

void EndProgram(std::int32_t exitCode) { TheShell().Shutdown(exitCode); }

std::string FatalBoxText(Text message, std::int32_t code) {
  std::string text = kRuntimeErrorHeading;
  text += "\r\n\r\n";
  if (code != 0) {
    text += kErrorCodeLabel;
    text += std::to_string(code);
    text += "\r\n\r\n";
  }
  if (TextLength(message) > 0) {
    text += kErrorMessageLabel;
    text += message;
    text += "\r\n";
  }
  return text;
}

std::wstring ProgramFolderOf(const std::wstring& path) {
  std::wstring::size_type separator = path.rfind(L'\\');
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}
