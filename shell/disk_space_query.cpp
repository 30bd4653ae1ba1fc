#include "shell/disk_space_query.h"

#include "monitor/constant_texts.h"
#include "monitor/handlers.h"

void StartHook() {}

void ExitHook() {}

const Program& DiskSpaceQueryProgram() {
  static const Program program = [] {
    Program made;
    made.description = &MainWindowDescription();
    made.startWindow = kMainWindowNumber;
    made.handlers = {{"MonitorTick", &MonitorTick}, {"ToggleMonitoring", &ToggleMonitoring}};
    made.constantTexts = &kConstantTexts;
    made.constantTextsSize = sizeof kConstantTexts;
    made.startHook = &StartHook;
    made.exitHook = &ExitHook;
    return made;
  }();
  return program;
}
