// A fake operating system with a shell on top of it, for tests of the
// program's logic without a window.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_platform.h"
#include "shell/disk_space_query.h"
#include "shell/program.h"

// Runs `action` and returns the exit code it ended the process with; fails
// the test when it returns normally.
template <typename Action>
std::uint32_t ExitCodeOf(Action action) {
  try {
    action();
  } catch (const ProcessExited& exited) {
    return exited.exitCode;
  }
  ADD_FAILURE() << "the process did not end";
  return 0;
}

class ShellTest : public ::testing::Test {
 protected:
  explicit ShellTest(const Program& program = DiskSpaceQueryProgram()) : shell_(fake_, program) {}

  // The program's window built on the fake, as start-up leaves it before the loop.
  void LoadMainWindow() {
    shell_.PrepareProcess();
    RegisterConstantTexts(shell_.program().constantTexts, shell_.program().constantTextsSize);
    shell_.LoadDescription();
    LoadWindow(kMainWindowNumber);
  }

  WindowHandle ControlWindow(ControlNumber control) {
    ControlRecord* record = shell_.FindControlRecord(*shell_.FindWindowRecord(kMainWindowNumber), control);
    return record != nullptr && record->component != nullptr ? record->component->Handle() : 0;
  }

  FakePlatform fake_;
  Shell shell_;
};

// GBK texts of the program, spelled once for the tests.
namespace gbk {
constexpr char kStopMonitoring[] = "\xCD\xA3\xD6\xB9\xBC\xE0\xBF\xD8";
constexpr char kStartMonitoring[] = "\xBF\xAA\xC6\xF4\xBC\xE0\xBF\xD8";
constexpr char kUsbInserted[] = "U\xC5\xCC\xD2\xD1\xB2\xE5\xC8\xEB";
constexpr char kNoUsbInserted[] = "\xC3\xBB\xD3\xD0U\xC5\xCC\xB2\xE5\xC8\xEB";
constexpr char kDetecting[] = "\xBC\xEC\xB2\xE2\xD6\xD0ing";
constexpr char kFullWidthOpen[] = "\xA3\xA8";
constexpr char kFullWidthClose[] = "\xA3\xA9";
}  // namespace gbk
