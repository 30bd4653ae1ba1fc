// Decisions of the main window, over plain data: where it goes on the screen,
// which control the focus moves to, and what a key does.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

// The outer rectangle of a window of the given size, centred on the screen
// (whole screen, not the work area; the fraction is dropped toward zero).
Rect CentredWindowRect(ScreenSize screen, std::int32_t width, std::int32_t height);

struct FocusCandidate {
  bool visible = false;
  bool enabled = false;
  bool takesFocus = false;
  std::int32_t tabOrder = 0;
};

// Indices (into `controls`, which is in description order) of the controls
// Tab can reach, in the order it reaches them.
std::vector<int> FocusOrder(const std::vector<FocusCandidate>& controls);

// The control Tab (forward) or Shift+Tab moves to from `current`, which may be
// -1 or a control outside the order. -1 when the order is empty.
int NextInFocusOrder(const std::vector<int>& order, int current, bool forward);

enum class KeyAction { PassOn, Close, NextControl, PreviousControl, ClickDefaultButton };

struct KeySettings {
  bool escCloses = false;
  bool enterMovesFocus = false;
  bool hasDefaultButton = false;
};

// What the window does with a key-down before the focused control sees it.
KeyAction KeyActionFor(const KeyPress& key, const KeySettings& settings);
