#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/main_window.h"
#include "shell/property_access.h"
#include "shell/window_layout.h"
#include "test_support.h"

namespace {

constexpr char kTitle[] = "\xD3\xB2\xC5\xCC\xBF\xD5\xBC\xE4\xB2\xE9\xD1\xAF";  // 硬盘空间查询

// The program's window built on a system of its own.
template <typename System = FakePlatform>
struct BuiltWindow {
  explicit BuiltWindow(ScreenSize screen = {1920, 1080}) : shell(fake, DiskSpaceQueryProgram()) {
    fake.screen = screen;
    RegisterConstantTexts(shell.program().constantTexts, shell.program().constantTextsSize);
    shell.LoadDescription();
    LoadWindow(kMainWindowNumber);
  }
  WindowHandle Control(ControlNumber number) {
    return shell.FindControlRecord(*shell.FindWindowRecord(kMainWindowNumber), number)->component->Handle();
  }
  System fake;
  Shell shell;
};

// A system that makes top-level windows larger than asked for.
class StretchingFake : public FakePlatform {
 public:
  WindowHandle MakeWindow(const WindowRequest& wanted) override {
    WindowHandle window = FakePlatform::MakeWindow(wanted);
    if (window != 0 && wanted.parent == 0) {
      PlaceWindow(window, Rect{wanted.rect.left, wanted.rect.top, wanted.rect.right + 8, wanted.rect.bottom + 30});
    }
    return window;
  }
};

class MainWindowTest : public ShellTest {
 protected:
  void SetUp() override {
    LoadMainWindow();
    main_ = fake_.TopLevelWindow();
  }

  bool Key(unsigned key, bool shift = false, bool control = false, bool alt = false) {
    return fake_.Window(main_).request.owner->OnKeyDown(KeyPress{key, shift, control, alt});
  }

  WindowHandle main_ = 0;
};

TEST_F(MainWindowTest, IsAFixedTopLevelWindowWithTitleIconsAndFont) {
  const FakeWindow& window = fake_.Window(main_);
  EXPECT_EQ(window.request.kind, WindowKind::Main);
  EXPECT_EQ(window.request.parent, 0u);
  EXPECT_EQ(window.text, kTitle);
  EXPECT_EQ(window.style, win32::kClipChildren | win32::kCaption | win32::kSysMenu | win32::kMinimizeBox);
  EXPECT_EQ(window.style & (win32::kThickFrame | win32::kMaximizeBox), 0u);
  EXPECT_EQ(window.request.exStyle, 0u);
  EXPECT_TRUE(window.iconsSet);
  EXPECT_EQ(window.font, FakePlatform::kStockGuiFont);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(fake_.windowCreations, 12);
}

TEST(MainWindowPlacementTest, IsCentredOnTheWholeScreenAtItsExactSize) {
  struct Case {
    ScreenSize screen;
    Rect expected;
  } cases[] = {
      {{1920, 1080}, {832, 432, 1087, 647}},
      {{1366, 768}, {555, 276, 810, 491}},
  };
  for (const Case& c : cases) {
    BuiltWindow<> built(c.screen);
    EXPECT_EQ(built.fake.Window(built.fake.TopLevelWindow()).rect, c.expected) << c.screen.width;
  }
  // A window the system made at another size is set to 255 by 215 once more.
  BuiltWindow<StretchingFake> stretched({1366, 768});
  EXPECT_EQ(stretched.fake.Window(stretched.fake.TopLevelWindow()).rect, (Rect{555, 276, 810, 491}));
}

TEST(CentredWindowRectTest, DropsTheFractionTowardZero) {
  struct Case {
    ScreenSize screen;
    Rect expected;
  } cases[] = {
      {{1920, 1080}, {832, 432, 1087, 647}},
      {{1366, 768}, {555, 276, 810, 491}},
      {{1921, 1081}, {833, 433, 1088, 648}},
      {{255, 215}, {0, 0, 255, 215}},
      // Smaller than the window: (200 - 255) / 2 is -27, not -28.
      {{200, 100}, {-27, -57, 228, 158}},
  };
  for (const Case& c : cases) {
    Rect rect = CentredWindowRect(c.screen, 255, 215);
    EXPECT_EQ(rect, c.expected) << c.screen.width << "x" << c.screen.height << " gave " << rect.left << ","
                                << rect.top;
  }
}

TEST_F(MainWindowTest, ControlsAreBuiltAsDescribed) {
  const std::string none;
  struct Case {
    ControlNumber number;
    WindowKind kind;
    int childId;
    Rect rect;
    bool visible;
    bool takesFocus;
    std::string text;
  } cases[] = {
      // In description order; the drive selectors are at least 80 high with their open list.
      {kUsbDriveBoxNumber, WindowKind::ComboBox, 200, {56, 48, 160, 128}, false, true, none},
      {kMonitorButtonNumber, WindowKind::PushButton, 190, {72, 16, 160, 40}, true, true, gbk::kStopMonitoring},
      {kFreeSpaceLabelNumber, WindowKind::Label, 180, {95, 147, 344, 171}, true, false, gbk::kDetecting},
      {kTotalSpaceLabelNumber, WindowKind::Label, 170, {95, 123, 344, 147}, true, false, gbk::kDetecting},
      {0x1601000C, WindowKind::Label, 160, {7, 147, 95, 171}, true, false,
       "\xB7\xD6\xC7\xF8\xCA\xA3\xD3\xE0\xBF\xD5\xBC\xE4"},  // 分区剩余空间
      {0x1601000B, WindowKind::Label, 150, {7, 123, 95, 147}, true, false,
       "\xB7\xD6\xC7\xF8\xC8\xAB\xB2\xBF\xBF\xD5\xBC\xE4"},  // 分区全部空间
      {kAllDrivesBoxNumber, WindowKind::ComboBox, 140, {95, 107, 183, 187}, true, true, none},
      {0x16010009, WindowKind::Label, 130, {-1, 99, 87, 123}, true, false,
       "\xB1\xBE\xBB\xFA\xC8\xAB\xB2\xBF\xB7\xD6\xC7\xF8\xA3\xBA"},  // 本机全部分区：
      {kUsbIndicatorLabelNumber, WindowKind::Label, 120, {95, 75, 183, 99}, true, false, gbk::kDetecting},
      {0x16010007, WindowKind::Label, 110, {7, 75, 95, 99}, true, false,
       "u\xC5\xCC\xCA\xC7\xB7\xF1\xB2\xE5\xC8\xEB"},  // u盘是否插入
      {kTimerNumber, WindowKind::Timer, 100, {56, 136, 152, 216}, false, false, none},
  };
  std::vector<WindowHandle> descriptionOrder;
  for (const Case& c : cases) {
    WindowHandle handle = ControlWindow(c.number);
    ASSERT_NE(handle, 0u) << std::hex << c.number;
    descriptionOrder.push_back(handle);
    const FakeWindow& window = fake_.Window(handle);
    SCOPED_TRACE(testing::Message() << std::hex << c.number);
    EXPECT_EQ(window.request.kind, c.kind);
    EXPECT_EQ(window.request.parent, main_);
    EXPECT_EQ(window.request.childId, c.childId);
    EXPECT_EQ(window.rect, c.rect);
    EXPECT_EQ(window.visible, c.visible);
    EXPECT_EQ(window.enabled, true);
    EXPECT_EQ(window.text, c.text);
    // Created hidden as a child; only controls that take focus are tab stops.
    EXPECT_EQ(window.request.style & (win32::kChild | win32::kVisible), win32::kChild);
    EXPECT_EQ((window.request.style & win32::kTabStop) != 0, c.takesFocus);
  }
  // The first control of the description is on top of the stacking order.
  EXPECT_EQ(fake_.Window(main_).children, descriptionOrder);
}

TEST_F(MainWindowTest, TabAndShiftTabCycleBetweenTheSelectorAndTheButton) {
  WindowHandle selector = ControlWindow(kAllDrivesBoxNumber);
  WindowHandle button = ControlWindow(kMonitorButtonNumber);
  EXPECT_EQ(fake_.FocusedWindow(), selector);

  std::vector<WindowHandle> forward;
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(Key(win32::kKeyTab));
    forward.push_back(fake_.FocusedWindow());
  }
  EXPECT_EQ(forward, (std::vector<WindowHandle>{button, selector, button, selector}));

  std::vector<WindowHandle> backward;
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Key(win32::kKeyTab, true));
    backward.push_back(fake_.FocusedWindow());
  }
  EXPECT_EQ(backward, (std::vector<WindowHandle>{button, selector, button}));

  // From a window outside the order, Tab goes to the first control and Shift+Tab to the last.
  fake_.FocusWindow(main_);
  EXPECT_TRUE(Key(win32::kKeyTab));
  EXPECT_EQ(fake_.FocusedWindow(), selector);
  fake_.FocusWindow(main_);
  EXPECT_TRUE(Key(win32::kKeyTab, true));
  EXPECT_EQ(fake_.FocusedWindow(), button);
}

TEST(MainWindowKeyTest, EscClosesFromEitherControlButNotWithAModifier) {
  for (ControlNumber focused : {kAllDrivesBoxNumber, kMonitorButtonNumber}) {
    BuiltWindow<> built;
    WindowHandle main = built.fake.TopLevelWindow();
    WindowOwner* owner = built.fake.Window(main).request.owner;
    built.fake.FocusWindow(built.Control(focused));
    for (KeyPress modified : {KeyPress{win32::kKeyEscape, true, false, false},
                              KeyPress{win32::kKeyEscape, false, true, false}}) {
      EXPECT_FALSE(owner->OnKeyDown(modified));
      EXPECT_TRUE(built.fake.WindowExists(main));
    }
    EXPECT_TRUE(owner->OnKeyDown(KeyPress{win32::kKeyEscape}));
    EXPECT_FALSE(built.fake.WindowExists(main)) << std::hex << focused;
    EXPECT_FALSE(built.fake.WindowExists(built.fake.Window(main).children.front()));
  }
}

TEST_F(MainWindowTest, EnterGoesOnUnlessADefaultButtonExists) {
  WindowHandle button = ControlWindow(kMonitorButtonNumber);
  fake_.FocusWindow(button);
  EXPECT_FALSE(Key(win32::kKeyReturn));
  EXPECT_EQ(fake_.FocusedWindow(), button);
  EXPECT_EQ(fake_.Window(button).text, gbk::kStopMonitoring);

  // As a default push button, Enter clicks it, and the click toggles monitoring.
  const std::int32_t buttonType = 9;
  WriteProperty(kMainWindowNumber, kMonitorButtonNumber, buttonType, kWholeValue, SlotFromInteger(1));
  EXPECT_TRUE(Key(win32::kKeyReturn));
  EXPECT_EQ(fake_.Window(button).text, gbk::kStartMonitoring);
}

TEST_F(MainWindowTest, FocusReturnsToTheLastFocusedControlAfterReactivation) {
  WindowHandle selector = ControlWindow(kAllDrivesBoxNumber);
  WindowHandle button = ControlWindow(kMonitorButtonNumber);
  WindowOwner* owner = fake_.Window(main_).request.owner;
  auto deactivate = [&] {
    owner->OnActivated(false);
    fake_.FocusWindow(0);
  };
  auto reactivate = [&] {
    owner->OnActivated(true);
    fake_.FocusWindow(main_);
    owner->OnGotFocus();
  };

  Key(win32::kKeyTab);
  ASSERT_EQ(fake_.FocusedWindow(), button);
  deactivate();
  reactivate();
  EXPECT_EQ(fake_.FocusedWindow(), button);

  // A control that is gone meanwhile leaves the focus to the first of the order.
  deactivate();
  fake_.DestroyWindow(button);
  reactivate();
  EXPECT_EQ(fake_.FocusedWindow(), selector);
}

TEST(FocusOrderTest, SortsByTabOrderWithLaterControlsFirstOnTies) {
  const FocusCandidate on{true, true, true, 0};
  auto withOrder = [&on](std::int32_t tabOrder) {
    FocusCandidate candidate = on;
    candidate.tabOrder = tabOrder;
    return candidate;
  };
  const FocusCandidate hidden{false, true, true, 0};
  const FocusCandidate disabled{true, false, true, 0};
  const FocusCandidate noFocus{true, true, false, 0};
  const FocusCandidate label{true, true, false, 0};
  struct Case {
    std::vector<FocusCandidate> controls;
    std::vector<int> expected;
  } cases[] = {
      {{}, {}},
      {{on, on, on}, {2, 1, 0}},
      {{withOrder(2), withOrder(1), withOrder(1), withOrder(-5)}, {3, 2, 1, 0}},
      {{hidden, on, disabled, noFocus, on}, {4, 1}},
      // This window: the hidden removable selector, the button, four labels, the
      // all-partitions selector, three labels and the timer.
      {{hidden, on, label, label, label, label, on, label, label, label, FocusCandidate{}}, {6, 1}},
  };
  for (const Case& c : cases) EXPECT_EQ(FocusOrder(c.controls), c.expected) << c.controls.size();
}

TEST(FocusOrderTest, NextWrapsAroundInBothDirections) {
  const std::vector<int> order = {6, 1};
  struct Case {
    std::vector<int> order;
    int current;
    bool forward;
    int expected;
  } cases[] = {
      {order, 6, true, 1}, {order, 1, true, 6},  {order, 6, false, 1}, {order, 1, false, 6},
      {order, -1, true, 6}, {order, 3, false, 1}, {{}, -1, true, -1},  {{4}, 4, true, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextInFocusOrder(c.order, c.current, c.forward), c.expected) << c.current << " " << c.forward;
  }
}

TEST(KeyActionTest, KeysCountWithTheirModifiers) {
  const KeySettings thisWindow{true, false, false};
  const KeySettings noEsc{false, false, false};
  const KeySettings enterMoves{true, true, false};
  const KeySettings withDefault{true, true, true};
  struct Case {
    KeyPress key;
    KeySettings settings;
    KeyAction expected;
  } cases[] = {
      {{win32::kKeyEscape}, thisWindow, KeyAction::Close},
      {{win32::kKeyEscape}, noEsc, KeyAction::PassOn},
      {{win32::kKeyEscape, true}, thisWindow, KeyAction::PassOn},
      {{win32::kKeyEscape, false, true}, thisWindow, KeyAction::PassOn},
      {{win32::kKeyEscape, false, false, true}, thisWindow, KeyAction::PassOn},
      {{win32::kKeyTab}, thisWindow, KeyAction::NextControl},
      {{win32::kKeyTab, true}, thisWindow, KeyAction::PreviousControl},
      {{win32::kKeyTab, false, true}, thisWindow, KeyAction::PassOn},
      {{win32::kKeyTab, false, false, true}, thisWindow, KeyAction::PassOn},
      {{win32::kKeyReturn}, thisWindow, KeyAction::PassOn},
      {{win32::kKeyReturn}, enterMoves, KeyAction::NextControl},
      {{win32::kKeyReturn}, withDefault, KeyAction::ClickDefaultButton},
      {{win32::kKeyReturn, true}, withDefault, KeyAction::PassOn},
      {{' '}, withDefault, KeyAction::PassOn},
      {{'A', false, false, true}, thisWindow, KeyAction::PassOn},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeyActionFor(c.key, c.settings), c.expected)
        << c.key.key << " shift " << c.key.shift << " control " << c.key.control << " alt " << c.key.alt;
  }
}

}  // namespace
