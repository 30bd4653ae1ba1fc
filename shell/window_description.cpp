#include "shell/window_description.h"

namespace {

constexpr const char* kDetecting = "\xBC\xEC\xB2\xE2\xD6\xD0ing";  // 检测中ing

ControlEntry Label(const char* name, ControlNumber number, std::int32_t left, std::int32_t top,
                   std::int32_t width, const char* caption) {
  ControlEntry entry;
  entry.name = name;
  entry.number = number;
  entry.left = left;
  entry.top = top;
  entry.width = width;
  entry.height = 24;
  LabelSettings settings;
  settings.caption = caption;
  entry.settings = settings;
  return entry;
}

ControlEntry DriveBox(const char* name, ControlNumber number, std::int32_t left, std::int32_t top,
                      std::int32_t width, std::int32_t height, bool visible, std::int32_t driveType) {
  ControlEntry entry;
  entry.name = name;
  entry.number = number;
  entry.left = left;
  entry.top = top;
  entry.width = width;
  entry.height = height;
  entry.visible = visible;
  entry.takesFocus = true;
  DriverBoxSettings settings;
  settings.driveType = driveType;
  entry.settings = settings;
  return entry;
}

WindowDescription BuildMainWindowDescription() {
  WindowEntry window;
  window.name = "MainWindow";
  window.number = kMainWindowNumber;
  window.title = "\xD3\xB2\xC5\xCC\xBF\xD5\xBC\xE4\xB2\xE9\xD1\xAF";  // 硬盘空间查询
  window.left = 50;
  window.top = 50;
  window.width = 255;
  window.height = 215;
  window.minimizeBox = true;
  window.escCloses = true;
  window.enterMovesFocus = false;

  // 驱动器框_U盘启动器: removable drives only, never shown.
  window.controls.push_back(DriveBox("\xC7\xFD\xB6\xAF\xC6\xF7\xBF\xF2_U\xC5\xCC\xC6\xF4\xB6\xAF\xC6\xF7",
                                     kUsbDriveBoxNumber, 56, 48, 104, 20, false, 1));

  ControlEntry button;
  button.name = "\xB0\xB4\xC5\xA5_\xBC\xE0\xBF\xD8";  // 按钮_监控
  button.number = kMonitorButtonNumber;
  button.left = 72;
  button.top = 16;
  button.width = 88;
  button.height = 24;
  button.takesFocus = true;
  ButtonSettings buttonSettings;
  buttonSettings.caption = "\xCD\xA3\xD6\xB9\xBC\xE0\xBF\xD8";  // 停止监控
  button.settings = buttonSettings;
  button.bindings = {{0, "ToggleMonitoring"}};
  window.controls.push_back(button);

  // 标签_分区剩余空间, 标签_分区全部空间, 标签3, 标签4
  window.controls.push_back(Label("\xB1\xEA\xC7\xA9_\xB7\xD6\xC7\xF8\xCA\xA3\xD3\xE0\xBF\xD5\xBC\xE4",
                                  kFreeSpaceLabelNumber, 95, 147, 249, kDetecting));
  window.controls.push_back(Label("\xB1\xEA\xC7\xA9_\xB7\xD6\xC7\xF8\xC8\xAB\xB2\xBF\xBF\xD5\xBC\xE4",
                                  kTotalSpaceLabelNumber, 95, 123, 249, kDetecting));
  window.controls.push_back(Label("\xB1\xEA\xC7\xA9"
                                  "3",
                                  0x1601000C, 7, 147, 88,
                                  "\xB7\xD6\xC7\xF8\xCA\xA3\xD3\xE0\xBF\xD5\xBC\xE4"));  // 分区剩余空间
  window.controls.push_back(Label("\xB1\xEA\xC7\xA9"
                                  "4",
                                  0x1601000B, 7, 123, 88,
                                  "\xB7\xD6\xC7\xF8\xC8\xAB\xB2\xBF\xBF\xD5\xBC\xE4"));  // 分区全部空间

  // 驱动器框_全部分区: every drive.
  window.controls.push_back(DriveBox("\xC7\xFD\xB6\xAF\xC6\xF7\xBF\xF2_\xC8\xAB\xB2\xBF\xB7\xD6\xC7\xF8",
                                     kAllDrivesBoxNumber, 95, 107, 88, 24, true, 0));

  // 标签2, 标签_U盘是否插入, 标签1
  window.controls.push_back(Label("\xB1\xEA\xC7\xA9"
                                  "2",
                                  0x16010009, -1, 99, 88,
                                  "\xB1\xBE\xBB\xFA\xC8\xAB\xB2\xBF\xB7\xD6\xC7\xF8\xA3\xBA"));  // 本机全部分区：
  window.controls.push_back(Label("\xB1\xEA\xC7\xA9_U\xC5\xCC\xCA\xC7\xB7\xF1\xB2\xE5\xC8\xEB",
                                  kUsbIndicatorLabelNumber, 95, 75, 88, kDetecting));
  window.controls.push_back(Label("\xB1\xEA\xC7\xA9"
                                  "1",
                                  0x16010007, 7, 75, 88, "u\xC5\xCC\xCA\xC7\xB7\xF1\xB2\xE5\xC8\xEB"));  // u盘是否插入

  ControlEntry timer;
  timer.name = "\xCA\xB1\xD6\xD3"
               "1";  // 时钟1
  timer.number = kTimerNumber;
  timer.left = 56;
  timer.top = 136;
  timer.width = 96;
  timer.height = 80;
  timer.visible = false;
  TimerSettings timerSettings;
  timerSettings.period = 1000;
  timer.settings = timerSettings;
  timer.bindings = {{0, "MonitorTick"}};
  window.controls.push_back(timer);

  WindowDescription description;
  description.windows.push_back(window);
  return description;
}

}  // namespace

const WindowDescription& MainWindowDescription() {
  static const WindowDescription description = BuildMainWindowDescription();
  return description;
}
