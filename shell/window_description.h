// The window description: a constant table of windows and their controls,
// with every setting they are built from and the handlers bound to their
// events. Texts in it are GBK.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "platform/platform.h"

using ControlNumber = std::uint32_t;

struct EventBinding {
  std::int32_t eventIndex = 0;
  const char* handlerName = nullptr;  // resolved against the program's handlers when loading
};

struct LabelSettings {
  const char* caption = "\xB1\xEA\xC7\xA9";  // 标签
  std::int32_t textEffect = 0;
  std::int32_t borderStyle = 0;
  Colour textColour = 0x000000;
  Colour backColour = 0xFF000000;  // the system button-face colour
  std::int32_t horizontalAlign = 0;
  bool wordWrap = false;
  std::int32_t verticalAlign = 1;
};

struct ButtonSettings {
  const char* caption = "\xB0\xB4\xC5\xA5";  // 按钮
  std::int32_t buttonType = 0;
  std::int32_t horizontalAlign = 1;
  std::int32_t verticalAlign = 1;
};

struct DriverBoxSettings {
  char storedLetter = 0;
  std::int32_t driveType = 0;
  Colour textColour = 0x000000;
  Colour backColour = 0xFFFFFF;
};

struct TimerSettings {
  std::int32_t period = 0;
};

using KindSettings = std::variant<LabelSettings, ButtonSettings, DriverBoxSettings, TimerSettings>;

struct ControlEntry {
  const char* name = "";
  ControlNumber number = 0;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool visible = true;
  bool disabled = false;
  bool takesFocus = false;
  std::int32_t tabOrder = 0;
  const char* tag = "";
  KindSettings settings;
  std::vector<EventBinding> bindings;
};

struct WindowEntry {
  const char* name = "";
  ControlNumber number = 0;
  const char* title = "";
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool minimizeBox = false;
  bool escCloses = false;
  bool enterMovesFocus = false;
  std::vector<ControlEntry> controls;  // in description order
  std::vector<EventBinding> bindings;
};

struct WindowDescription {
  std::vector<WindowEntry> windows;
};

// Kinds of the window-description entries.
template <typename Settings>
bool IsKind(const ControlEntry& entry) {
  return std::holds_alternative<Settings>(entry.settings);
}

// The program's one window and its eleven controls.
constexpr ControlNumber kMainWindowNumber = 0x52010001;
constexpr ControlNumber kUsbDriveBoxNumber = 0x16010016;
constexpr ControlNumber kMonitorButtonNumber = 0x16010013;
constexpr ControlNumber kFreeSpaceLabelNumber = 0x1601000E;
constexpr ControlNumber kTotalSpaceLabelNumber = 0x1601000D;
constexpr ControlNumber kAllDrivesBoxNumber = 0x1601000A;
constexpr ControlNumber kUsbIndicatorLabelNumber = 0x16010008;
constexpr ControlNumber kTimerNumber = 0x16010002;

const WindowDescription& MainWindowDescription();
