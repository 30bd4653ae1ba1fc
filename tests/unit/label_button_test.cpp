#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/button.h"
#include "controls/font_rule.h"
#include "controls/label.h"
#include "shell/property_access.h"
#include "test_support.h"

namespace {

// Property indices as the handlers see them.
constexpr std::int32_t kCaption = 8;
constexpr std::int32_t kLabelFontIndex = 15;
constexpr std::int32_t kTextColourIndex = 16;
constexpr std::int32_t kBackColourIndex = 17;
constexpr std::int32_t kPictureIndex = 8;
constexpr std::int32_t kButtonTypeIndex = 9;
constexpr std::int32_t kButtonCaptionIndex = 10;
constexpr std::int32_t kHorizontalAlignIndex = 11;
constexpr std::int32_t kVerticalAlignIndex = 12;
constexpr std::int32_t kButtonFontIndex = 13;

PropertySlot Read(ControlNumber control, std::int32_t index) {
  return ReadProperty(kMainWindowNumber, control, index, kWholeValue);
}

void Write(ControlNumber control, std::int32_t index, PropertySlot value) {
  WriteProperty(kMainWindowNumber, control, index, kWholeValue, value);
}

std::string TakeText(PropertySlot slot) {
  Text text = TextFromSlot(slot);
  std::string taken = text != nullptr ? text : "";
  ReleaseText(text);
  return taken;
}

// A font description of `size` bytes in the layout of LOGFONTA.
DataBlock FontDescription(std::uint32_t size) {
  std::string bytes(size, '\0');
  const std::int32_t height = -12;
  const std::int32_t weight = 700;
  if (size >= 20) {
    std::memcpy(&bytes[0], &height, 4);
    std::memcpy(&bytes[16], &weight, 4);
  }
  if (size >= 28) bytes.replace(20, 8, "\x01\x00\x00\x86\x03\x02\x04\x31", 8);  // italic ... pitch and family
  if (size >= 34) bytes.replace(28, 6, "SimSun");
  return DataBlock::FromBytes(bytes.data(), size);
}

PropertySlot SlotOf(const DataBlock& block) { return SlotFromPointer(block.Pointer()); }

struct DrawnText {
  std::string text;
  Rect bounds;
  unsigned format;
  GdiHandle font;
  Colour colour;
  bool fontLive;
};

// Records what a window paints.
class RecordingCanvas : public Canvas {
 public:
  RecordingCanvas(const FakePlatform& fake, Rect client, bool areaToPaint = true)
      : fake_(&fake), client_(client), areaToPaint_(areaToPaint) {}
  bool HasAreaToPaint() const override { return areaToPaint_; }
  Rect ClientRect() const override { return client_; }
  void FillArea(Colour colour) override { fills.push_back(colour); }
  void DrawTextIn(const std::string& text, const Rect& bounds, unsigned format, GdiHandle font,
                  Colour colour) override {
    draws.push_back(DrawnText{text, bounds, format, font, colour, fake_->liveGdiObjects.count(font) != 0});
  }

  std::vector<Colour> fills;
  std::vector<DrawnText> draws;

 private:
  const FakePlatform* fake_;
  Rect client_;
  bool areaToPaint_;
};

class LabelTest : public ShellTest {
 protected:
  void SetUp() override { LoadMainWindow(); }

  RecordingCanvas Paint(ControlNumber label, bool areaToPaint = true) {
    RecordingCanvas canvas(fake_, Rect{0, 0, 88, 24}, areaToPaint);
    fake_.Window(ControlWindow(label)).request.owner->OnPaint(canvas);
    return canvas;
  }
};

constexpr ControlNumber kLabel1 = 0x16010007;

TEST_F(LabelTest, ACaptionReadsBackByteForByte) {
  const std::string captions[] = {
      "abc",
      "\x81\x5C\x81\x5C",  // 乗乗: trail bytes that look like backslashes
      "\xFF\x80\x01",
      "0KB(0GB)",
      std::string(300, '\xB0'),  // far wider than the label
  };
  const Rect rect = fake_.Window(ControlWindow(kTotalSpaceLabelNumber)).rect;
  for (const std::string& caption : captions) {
    Write(kTotalSpaceLabelNumber, kCaption, SlotFromText(caption.c_str()));
    EXPECT_EQ(TakeText(Read(kTotalSpaceLabelNumber, kCaption)), caption);
    EXPECT_EQ(fake_.Window(ControlWindow(kTotalSpaceLabelNumber)).text, caption);
    EXPECT_EQ(fake_.Window(ControlWindow(kTotalSpaceLabelNumber)).rect, rect);  // it neither grows nor moves
  }
}

TEST_F(LabelTest, EveryWriteRepaintsWithoutErasing) {
  const FakeWindow& label = fake_.Window(ControlWindow(kUsbIndicatorLabelNumber));
  int before = label.invalidations;
  Write(kUsbIndicatorLabelNumber, kCaption, SlotFromText(gbk::kNoUsbInserted));
  Write(kUsbIndicatorLabelNumber, kCaption, SlotFromText(gbk::kNoUsbInserted));  // the same text again
  Write(kUsbIndicatorLabelNumber, kTextColourIndex, SlotFromInteger(0x0000FF));
  EXPECT_EQ(label.invalidations, before + 3);
  EXPECT_EQ(label.erasingInvalidations, 0);
}

TEST_F(LabelTest, PaintsItsBackgroundThenOneLineOfTextInTheGuiFont) {
  RecordingCanvas canvas = Paint(kUsbIndicatorLabelNumber);
  EXPECT_EQ(canvas.fills, std::vector<Colour>{FakePlatform::kButtonFace});
  ASSERT_EQ(canvas.draws.size(), 1u);
  const DrawnText& drawn = canvas.draws[0];
  EXPECT_EQ(drawn.text, gbk::kDetecting);
  EXPECT_EQ(drawn.bounds, (Rect{0, 0, 88, 24}));
  EXPECT_EQ(drawn.format, win32::kTextNoClip | win32::kTextSingleLine | win32::kTextVCenter);
  EXPECT_EQ(drawn.font, FakePlatform::kStockGuiFont);
  EXPECT_EQ(drawn.colour, 0u);

  Write(kUsbIndicatorLabelNumber, kBackColourIndex, SlotFromInteger(0x00123456));
  Write(kUsbIndicatorLabelNumber, kTextColourIndex, SlotFromInteger(0x000000FF));
  RecordingCanvas coloured = Paint(kUsbIndicatorLabelNumber);
  EXPECT_EQ(coloured.fills, std::vector<Colour>{0x00123456});
  ASSERT_EQ(coloured.draws.size(), 1u);
  EXPECT_EQ(coloured.draws[0].colour, 0x000000FFu);
}

TEST_F(LabelTest, PaintsNothingWithoutAreaAndOnlyTheBackgroundWithoutText) {
  RecordingCanvas untouched = Paint(kLabel1, false);
  EXPECT_TRUE(untouched.fills.empty());
  EXPECT_TRUE(untouched.draws.empty());

  Write(kLabel1, kCaption, SlotFromText(nullptr));
  RecordingCanvas empty = Paint(kLabel1);
  EXPECT_EQ(empty.fills, std::vector<Colour>{FakePlatform::kButtonFace});
  EXPECT_TRUE(empty.draws.empty());
}

TEST_F(LabelTest, ADescribedFontIsMadeForEachPaintAndFreedAfterIt) {
  const std::size_t liveBefore = fake_.liveGdiObjects.size();
  Write(kLabel1, kLabelFontIndex, SlotOf(FontDescription(60)));
  RecordingCanvas first = Paint(kLabel1);
  RecordingCanvas second = Paint(kLabel1);
  ASSERT_EQ(first.draws.size(), 1u);
  ASSERT_EQ(second.draws.size(), 1u);
  EXPECT_NE(first.draws[0].font, FakePlatform::kStockGuiFont);
  EXPECT_TRUE(first.draws[0].fontLive);
  EXPECT_TRUE(second.draws[0].fontLive);
  EXPECT_NE(first.draws[0].font, second.draws[0].font);
  EXPECT_EQ(fake_.liveGdiObjects.size(), liveBefore);

  // A description of another length, or a font the system cannot make, means the GUI font.
  Write(kLabel1, kLabelFontIndex, SlotOf(FontDescription(59)));
  EXPECT_EQ(Paint(kLabel1).draws.at(0).font, FakePlatform::kStockGuiFont);
  Write(kLabel1, kLabelFontIndex, SlotOf(FontDescription(60)));
  fake_.fontsFail = true;
  EXPECT_EQ(Paint(kLabel1).draws.at(0).font, FakePlatform::kStockGuiFont);
  EXPECT_EQ(fake_.liveGdiObjects.size(), liveBefore);
  EXPECT_TRUE(fake_.gdiMistakes.empty());
}

TEST(LabelTextFormatTest, FollowsAlignmentAndWrapping) {
  const unsigned noClip = win32::kTextNoClip;
  const unsigned single = win32::kTextSingleLine;
  struct Case {
    std::int32_t horizontal;
    bool wordWrap;
    std::int32_t vertical;
    unsigned expected;
  } cases[] = {
      {0, false, 1, noClip | single | win32::kTextVCenter},
      {0, false, 0, noClip | single},
      {1, false, 2, noClip | win32::kTextCenter | single | win32::kTextBottom},
      {2, false, 1, noClip | win32::kTextRight | single | win32::kTextVCenter},
      // Wrapped text is centred vertically whatever the vertical alignment.
      {0, true, 0, noClip | win32::kTextWordBreak | win32::kTextVCenter},
      {2, true, 2, noClip | win32::kTextRight | win32::kTextWordBreak | win32::kTextVCenter},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LabelTextFormat(c.horizontal, c.wordWrap, c.vertical), c.expected)
        << c.horizontal << " " << c.wordWrap << " " << c.vertical;
  }
}

TEST(FontRuleTest, ForcesTheSystemDefaultsOnlyForExactlySixtyBytes) {
  FontRequest request;
  ASSERT_TRUE(FontRequestFrom(FontDescription(60), request));
  EXPECT_EQ(request.height, -12);
  EXPECT_EQ(request.weight, 700);
  EXPECT_EQ(request.italic, 1);
  EXPECT_EQ(request.faceName, "SimSun");
  EXPECT_EQ(request.charSet, 1);         // DEFAULT_CHARSET
  EXPECT_EQ(request.outPrecision, 0);    // OUT_DEFAULT_PRECIS
  EXPECT_EQ(request.clipPrecision, 0);   // CLIP_DEFAULT_PRECIS
  EXPECT_EQ(request.quality, 2);         // PROOF_QUALITY
  EXPECT_EQ(request.pitchAndFamily, 0);  // DEFAULT_PITCH
  for (std::uint32_t size : {0u, 59u, 61u}) EXPECT_FALSE(FontRequestFrom(FontDescription(size), request)) << size;
  EXPECT_FALSE(FontRequestFrom(DataBlock(), request));
}

// Handlers take no arguments, so the counts are global.
int g_clicks = 0;
int g_ticks = 0;
void CountClick() { ++g_clicks; }
void CountTick() { ++g_ticks; }

// The program's window with counting handlers in place of its own.
const Program& CountingProgram() {
  static const Program program = [] {
    Program made = DiskSpaceQueryProgram();
    made.handlers = {{"MonitorTick", &CountTick}, {"ToggleMonitoring", &CountClick}};
    return made;
  }();
  return program;
}

class ButtonTest : public ShellTest {
 protected:
  ButtonTest() : ShellTest(CountingProgram()) { g_clicks = 0; }
  void SetUp() override {
    LoadMainWindow();
    button_ = ControlWindow(kMonitorButtonNumber);
  }
  const FakeWindow& ButtonWindow() { return fake_.Window(button_); }

  WindowHandle button_ = 0;
};

// The bits every push button of this window has: tab stop, child, clip siblings, multiline.
constexpr std::uint32_t kButtonBase = 0x00010000u | 0x40000000u | 0x04000000u | 0x2000u;

TEST_F(ButtonTest, StartsAsACentredNormalPushButton) {
  EXPECT_EQ(Read(kMonitorButtonNumber, kPictureIndex), 0u);
  EXPECT_EQ(Read(kMonitorButtonNumber, kButtonTypeIndex), 0u);
  EXPECT_EQ(TakeText(Read(kMonitorButtonNumber, kButtonCaptionIndex)), gbk::kStopMonitoring);
  EXPECT_EQ(Read(kMonitorButtonNumber, kHorizontalAlignIndex), 1u);
  EXPECT_EQ(Read(kMonitorButtonNumber, kVerticalAlignIndex), 1u);
  EXPECT_EQ(Read(kMonitorButtonNumber, kButtonFontIndex), 0u);
  // BS_PUSHBUTTON | BS_CENTER | BS_VCENTER
  EXPECT_EQ(ButtonWindow().style, kButtonBase | 0x0000u | 0x0300u | 0x0C00u);
  EXPECT_EQ(ButtonWindow().request.exStyle, 0u);
  EXPECT_EQ(ButtonWindow().font, FakePlatform::kStockGuiFont);
}

TEST_F(ButtonTest, IntegerSettingsAreClampedAndReachTheStyle) {
  struct Case {
    std::int32_t index;
    std::int32_t written;
    std::int32_t stored;
    std::uint32_t styleBits;  // type, horizontal and vertical bits after the write
  } cases[] = {
      {kButtonTypeIndex, 1, 1, 0x0001u | 0x0300u | 0x0C00u},
      {kButtonTypeIndex, 5, 1, 0x0001u | 0x0300u | 0x0C00u},
      {kButtonTypeIndex, -3, 0, 0x0000u | 0x0300u | 0x0C00u},
      {kHorizontalAlignIndex, 0, 0, 0x0100u | 0x0C00u},
      {kHorizontalAlignIndex, 2, 2, 0x0200u | 0x0C00u},
      {kHorizontalAlignIndex, 7, 2, 0x0200u | 0x0C00u},
      {kHorizontalAlignIndex, -1, 0, 0x0100u | 0x0C00u},
      {kVerticalAlignIndex, 0, 0, 0x0300u | 0x0400u},
      {kVerticalAlignIndex, 3, 2, 0x0300u | 0x0800u},
      {kVerticalAlignIndex, -2147483647 - 1, 0, 0x0300u | 0x0400u},
  };
  const std::int32_t initial[] = {0, 0, 0, 1, 1};  // by index - 8, from 9 on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.index << " " << c.written);
    int erasing = ButtonWindow().erasingInvalidations;
    Write(kMonitorButtonNumber, c.index, SlotFromInteger(c.written));
    EXPECT_EQ(IntegerFromSlot(Read(kMonitorButtonNumber, c.index)), c.stored);
    EXPECT_EQ(ButtonWindow().style, kButtonBase | c.styleBits);
    EXPECT_EQ(ButtonWindow().erasingInvalidations, erasing + 1);
    Write(kMonitorButtonNumber, c.index, SlotFromInteger(initial[c.index - 8]));
  }
  EXPECT_EQ(g_clicks, 0);
  // The common bits pass through; out-of-range alignments clamp here too.
  EXPECT_EQ(ButtonStyle(win32::kDisabled, 1, -1, 5),
            win32::kDisabled | 0x40000000u | 0x04000000u | 0x2000u | 0x0001u | 0x0100u | 0x0800u);
}

TEST_F(ButtonTest, AClickRaisesTheClickEventOnceAndACaptionWriteNone) {
  Write(kMonitorButtonNumber, kButtonCaptionIndex, SlotFromText(gbk::kStartMonitoring));
  EXPECT_EQ(ButtonWindow().text, gbk::kStartMonitoring);
  EXPECT_EQ(TakeText(Read(kMonitorButtonNumber, kButtonCaptionIndex)), gbk::kStartMonitoring);
  EXPECT_EQ(g_clicks, 0);

  fake_.ClickButton(button_);
  EXPECT_EQ(g_clicks, 1);
  // Other notifications and focus changes are no clicks.
  ButtonWindow().request.owner->OnNotify(5);
  ButtonWindow().request.owner->OnFocusChanged(true);
  ButtonWindow().request.owner->OnFocusChanged(false);
  EXPECT_EQ(g_clicks, 1);
}

TEST_F(ButtonTest, FontWritesSwapFontsWithoutLeaksOrStockDeletes) {
  const std::size_t liveBefore = fake_.liveGdiObjects.size();
  Write(kMonitorButtonNumber, kButtonFontIndex, SlotOf(FontDescription(60)));
  GdiHandle first = ButtonWindow().font;
  EXPECT_NE(first, FakePlatform::kStockGuiFont);
  EXPECT_EQ(fake_.liveGdiObjects.count(first), 1u);

  Write(kMonitorButtonNumber, kButtonFontIndex, SlotOf(FontDescription(60)));
  GdiHandle second = ButtonWindow().font;
  EXPECT_NE(second, first);
  EXPECT_EQ(fake_.liveGdiObjects.count(first), 0u);
  EXPECT_EQ(fake_.liveGdiObjects.size(), liveBefore + 1);

  // Another length falls back to the GUI font, which is never deleted.
  for (std::uint32_t size : {59u, 61u}) {
    Write(kMonitorButtonNumber, kButtonFontIndex, SlotOf(FontDescription(size)));
    EXPECT_EQ(ButtonWindow().font, FakePlatform::kStockGuiFont) << size;
    EXPECT_EQ(fake_.liveGdiObjects.size(), liveBefore) << size;
  }
  Write(kMonitorButtonNumber, kButtonFontIndex, 0);
  EXPECT_EQ(ButtonWindow().font, FakePlatform::kStockGuiFont);

  // The button frees its font together with its window.
  Write(kMonitorButtonNumber, kButtonFontIndex, SlotOf(FontDescription(60)));
  fake_.DestroyWindow(button_);
  EXPECT_EQ(fake_.liveGdiObjects.size(), liveBefore);
  EXPECT_TRUE(fake_.gdiMistakes.empty());
}

}  // namespace
