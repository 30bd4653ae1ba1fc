// The program's top-level window: builds itself and its controls from the
// window description, paints its background, moves the focus and closes.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "shell/program.h"

// The window's own events.
enum WindowEvent : std::int32_t {
  kBuiltEvent = 0,
  kCloseRequestEvent = 1,
  kDestroyingEvent = 2,
  kMovedEvent = 3,
  kResizedEvent = 4,
  kActivatedEvent = 5,
  kDeactivatedEvent = 6,
  kFirstActivationEvent = 8,
};

constexpr int kFirstChildId = 100;
constexpr int kChildIdStep = 10;

// The window style a window entry asks for.
std::uint32_t MainWindowStyle(const WindowEntry& entry);

class MainWindow : public WindowOwner {
 public:
  MainWindow(Shell& shell, WindowRecord& record) : shell_(shell), record_(record) {}

  // Creates, stacks and shows the window and its controls; false on failure,
  // with whatever was made destroyed again.
  bool Build();
  WindowHandle handle() const { return handle_; }

  void OnCreated(WindowHandle window) override { handle_ = window; }
  void OnDestroying() override;
  void OnGone() override;
  void OnPaint(Canvas& canvas) override;
  bool OnKeyDown(const KeyPress& key) override;
  bool OnCloseRequest() override;
  void OnActivated(bool active) override;
  void OnGotFocus() override;
  void OnLostFocus() override;
  void OnMoved() override;
  void OnResized() override;

 private:
  bool CreateControls();
  void Raise(std::int32_t eventIndex);
  std::vector<int> CurrentFocusOrder() const;
  // Index of the control that is or holds `window`; -1 when none.
  int ControlHolding(WindowHandle window) const;
  void MoveFocus(bool forward);
  void FocusControl(int index);
  WindowHandle DefaultButton() const;

  Shell& shell_;
  WindowRecord& record_;
  WindowHandle handle_ = 0;
  WindowHandle lastFocus_ = 0;
  bool activatedBefore_ = false;
};
