#include "shell/window_layout.h"

#include <algorithm>

Rect CentredWindowRect(ScreenSize screen, std::int32_t width, std::int32_t height) {
  Rect rect;
  rect.left = (screen.width - width) / 2;
  rect.top = (screen.height - height) / 2;
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  return rect;
}

std::vector<int> FocusOrder(const std::vector<FocusCandidate>& controls) {
  std::vector<int> order;
  for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
    const FocusCandidate& control = controls[static_cast<std::size_t>(i)];
    if (control.visible && control.enabled && control.takesFocus) order.push_back(i);
  }
  // Low tab-order values first; among equal values the later control first.
  std::sort(order.begin(), order.end(), [&controls](int a, int b) {
    std::int32_t orderA = controls[static_cast<std::size_t>(a)].tabOrder;
    std::int32_t orderB = controls[static_cast<std::size_t>(b)].tabOrder;
    if (orderA != orderB) return orderA < orderB;
    return a > b;
  });
  return order;
}

int NextInFocusOrder(const std::vector<int>& order, int current, bool forward) {
  if (order.empty()) return -1;
  auto position = std::find(order.begin(), order.end(), current);
  if (position == order.end()) return forward ? order.front() : order.back();
  if (forward) return ++position == order.end() ? order.front() : *position;
  return position == order.begin() ? order.back() : *--position;
}

KeyAction KeyActionFor(const KeyPress& key, const KeySettings& settings) {
  bool anyModifier = key.shift || key.control || key.alt;
  switch (key.key) {
    case win32::kKeyEscape:
      return settings.escCloses && !anyModifier ? KeyAction::Close : KeyAction::PassOn;
    case win32::kKeyTab:
      if (key.control || key.alt) return KeyAction::PassOn;
      return key.shift ? KeyAction::PreviousControl : KeyAction::NextControl;
    case win32::kKeyReturn:
      if (anyModifier) return KeyAction::PassOn;
      if (settings.hasDefaultButton) return KeyAction::ClickDefaultButton;
      return settings.enterMovesFocus ? KeyAction::NextControl : KeyAction::PassOn;
    default:
      return KeyAction::PassOn;
  }
}
