#include "shell/main_window.h"

#include <memory>

#include "controls/button.h"
#include "controls/driver_box.h"
#include "controls/label.h"
#include "controls/timer.h"
#include "shell/window_layout.h"

namespace {

std::unique_ptr<Control> MakeControl(const ControlEntry& entry) {
  if (const auto* label = std::get_if<LabelSettings>(&entry.settings)) return std::make_unique<Label>(*label);
  if (const auto* button = std::get_if<ButtonSettings>(&entry.settings)) return std::make_unique<Button>(*button);
  if (const auto* box = std::get_if<DriverBoxSettings>(&entry.settings)) return std::make_unique<DriverBox>(*box);
  return std::make_unique<Timer>(std::get<TimerSettings>(entry.settings));
}

}  // namespace

std::uint32_t MainWindowStyle(const WindowEntry& entry) {
  return win32::kClipChildren | win32::kCaption | win32::kSysMenu | (entry.minimizeBox ? win32::kMinimizeBox : 0);
}

bool MainWindow::Build() {
  Platform& platform = shell_.platform();
  const WindowEntry& entry = *record_.entry;
  Rect rect = CentredWindowRect(platform.PrimaryScreenSize(), entry.width, entry.height);
  WindowRequest request;
  request.kind = WindowKind::Main;
  request.style = MainWindowStyle(entry);
  request.rect = rect;
  request.text = entry.title;
  request.owner = this;
  handle_ = platform.MakeWindow(request);
  if (handle_ == 0) return false;
  record_.loaded = true;
  if (!(platform.WindowRect(handle_) == rect)) platform.PlaceWindow(handle_, rect);
  platform.SetProgramIcons(handle_);
  platform.SetWindowFont(handle_, platform.StockGuiFont(), false);

  if (!CreateControls()) {
    platform.DestroyWindow(handle_);
    return false;
  }

  // Stacking follows the description order: the first control on top.
  WindowHandle above = 0;
  for (ControlRecord& control : record_.controls) {
    WindowHandle window = control.component->Handle();
    if (above == 0) {
      platform.PlaceOnTop(window);
    } else {
      platform.PlaceBelow(window, above);
    }
    above = window;
  }
  for (ControlRecord& control : record_.controls) {
    bool shown = control.common.visible && control.component->CanBeShown();
    platform.ShowWindow(control.component->Handle(), shown ? ShowMode::ShowWithoutActivating : ShowMode::Hide);
  }

  for (std::int32_t event : {kBuiltEvent, kMovedEvent, kResizedEvent}) {
    Raise(event);
    if (!platform.WindowExists(handle_)) return true;  // a handler closed it: building stops here
  }
  platform.ShowWindow(handle_, ShowMode::Show);
  return true;
}

bool MainWindow::CreateControls() {
  // Created in reverse description order, so the last control gets the first identifier.
  int childId = kFirstChildId;
  for (auto control = record_.controls.rbegin(); control != record_.controls.rend(); ++control) {
    const ControlEntry& entry = *control->entry;
    ControlPlacement placement;
    placement.parent = handle_;
    placement.childId = childId;
    placement.commonStyle = (control->common.disabled ? win32::kDisabled : 0u) |
                            (entry.takesFocus ? win32::kTabStop : 0u);
    placement.rect = control->common.rect;
    placement.windowNumber = record_.entry->number;
    placement.controlNumber = entry.number;
    std::unique_ptr<Control> component = MakeControl(entry);
    if (!component->Create(placement)) return false;
    control->component = std::move(component);
    childId += kChildIdStep;
  }
  return true;
}

void MainWindow::Raise(std::int32_t eventIndex) { RaiseEvent(record_.entry->number, 0, eventIndex); }

void MainWindow::OnDestroying() { Raise(kDestroyingEvent); }

void MainWindow::OnGone() { ControlGone(record_.entry->number, 0); }

void MainWindow::OnPaint(Canvas& canvas) {
  if (canvas.HasAreaToPaint()) canvas.FillArea(shell_.platform().SystemColour(win32::kColourButtonFace));
}

bool MainWindow::OnKeyDown(const KeyPress& key) {
  const WindowEntry& entry = *record_.entry;
  WindowHandle defaultButton = DefaultButton();
  KeySettings settings;
  settings.escCloses = entry.escCloses;
  settings.enterMovesFocus = entry.enterMovesFocus;
  settings.hasDefaultButton = defaultButton != 0;
  switch (KeyActionFor(key, settings)) {
    case KeyAction::Close:
      shell_.platform().SendClose(handle_);
      return true;
    case KeyAction::NextControl:
      MoveFocus(true);
      return true;
    case KeyAction::PreviousControl:
      MoveFocus(false);
      return true;
    case KeyAction::ClickDefaultButton:
      shell_.platform().ClickButton(defaultButton);
      return true;
    case KeyAction::PassOn:
      break;
  }
  return false;
}

bool MainWindow::OnCloseRequest() {
  Raise(kCloseRequestEvent);
  return true;  // the handlers return no value, so none can refuse
}

void MainWindow::OnActivated(bool active) {
  if (active) {
    Raise(kActivatedEvent);
    if (!activatedBefore_) {
      activatedBefore_ = true;
      Raise(kFirstActivationEvent);
    }
    return;
  }
  int focused = ControlHolding(shell_.platform().FocusedWindow());
  lastFocus_ = focused >= 0 ? record_.controls[static_cast<std::size_t>(focused)].component->Handle() : 0;
  Raise(kDeactivatedEvent);
}

void MainWindow::OnGotFocus() {
  Raise(kGotFocusEvent);
  Platform& platform = shell_.platform();
  if (lastFocus_ != 0 && ControlHolding(lastFocus_) >= 0 && platform.WindowExists(lastFocus_)) {
    platform.FocusWindow(lastFocus_);
    return;
  }
  std::vector<int> order = CurrentFocusOrder();
  if (!order.empty()) FocusControl(order.front());
}

void MainWindow::OnLostFocus() { Raise(kLostFocusEvent); }

void MainWindow::OnMoved() { Raise(kMovedEvent); }

void MainWindow::OnResized() { Raise(kResizedEvent); }

std::vector<int> MainWindow::CurrentFocusOrder() const {
  std::vector<FocusCandidate> candidates;
  for (const ControlRecord& control : record_.controls) {
    FocusCandidate candidate;
    candidate.visible = control.component != nullptr && control.component->CanBeShown() && control.common.visible;
    candidate.enabled = !control.common.disabled;
    candidate.takesFocus = control.entry->takesFocus;
    candidate.tabOrder = control.entry->tabOrder;
    candidates.push_back(candidate);
  }
  return FocusOrder(candidates);
}

int MainWindow::ControlHolding(WindowHandle window) const {
  if (window == 0) return -1;
  Platform& platform = shell_.platform();
  for (std::size_t i = 0; i < record_.controls.size(); ++i) {
    const Control* component = record_.controls[i].component.get();
    if (component == nullptr) continue;
    if (component->Handle() == window || platform.IsChildOf(window, component->Handle())) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void MainWindow::MoveFocus(bool forward) {
  int current = ControlHolding(shell_.platform().FocusedWindow());
  int next = NextInFocusOrder(CurrentFocusOrder(), current, forward);
  if (next >= 0) FocusControl(next);
}

void MainWindow::FocusControl(int index) {
  shell_.platform().FocusWindow(record_.controls[static_cast<std::size_t>(index)].component->Handle());
}

WindowHandle MainWindow::DefaultButton() const {
  for (const ControlRecord& control : record_.controls) {
    if (control.component != nullptr && control.component->IsDefaultButton()) return control.component->Handle();
  }
  return 0;
}
