#include "controls/label.h"

#include "controls/font_rule.h"

unsigned LabelTextFormat(std::int32_t horizontalAlign, bool wordWrap, std::int32_t verticalAlign) {
  unsigned format = win32::kTextNoClip;
  if (horizontalAlign == 1) format |= win32::kTextCenter;
  if (horizontalAlign == 2) format |= win32::kTextRight;
  if (wordWrap) return format | win32::kTextWordBreak | win32::kTextVCenter;
  format |= win32::kTextSingleLine;
  if (verticalAlign == 1) format |= win32::kTextVCenter;
  if (verticalAlign == 2) format |= win32::kTextBottom;
  return format;
}

Label::Label(const LabelSettings& settings)
    : properties_({PropertyType::Text, PropertyType::Integer, PropertyType::Integer, PropertyType::Integer,
                   PropertyType::Integer, PropertyType::Integer, PropertyType::Integer, PropertyType::Data,
                   PropertyType::Integer, PropertyType::Integer, PropertyType::Data, PropertyType::Integer,
                   PropertyType::Integer, PropertyType::Integer, PropertyType::Integer, PropertyType::Integer,
                   PropertyType::Integer, PropertyType::Logical, PropertyType::Integer, PropertyType::Text,
                   PropertyType::Text}) {
  properties_.SetText(kLabelCaption, settings.caption != nullptr ? settings.caption : "");
  properties_.SetInteger(kLabelTextEffect, settings.textEffect);
  properties_.SetInteger(kLabelBorderStyle, settings.borderStyle);
  properties_.SetInteger(kLabelTextColour, static_cast<std::int32_t>(settings.textColour));
  properties_.SetInteger(kLabelBackColour, static_cast<std::int32_t>(settings.backColour));
  properties_.SetInteger(kLabelHorizontalAlign, settings.horizontalAlign);
  properties_.SetInteger(kLabelWordWrap, settings.wordWrap ? 1 : 0);
  properties_.SetInteger(kLabelVerticalAlign, settings.verticalAlign);
}

bool Label::Create(const ControlPlacement& placement) {
  return MakeSystemWindow(WindowKind::Label, placement,
                          placement.commonStyle | win32::kChild | win32::kClipSiblings,
                          properties_.TextAt(kLabelCaption));
}

void Label::Write(int ownIndex, PropertySlot value) {
  properties_.Store(ownIndex, value);
  Platform& platform = ThePlatform();
  if (ownIndex == kLabelCaption) platform.SetText(window_, properties_.TextAt(kLabelCaption));
  platform.Invalidate(window_, false);
}

void Label::OnPaint(Canvas& canvas) {
  if (!canvas.HasAreaToPaint()) return;
  Platform& platform = ThePlatform();
  canvas.FillArea(ResolveColour(static_cast<Colour>(properties_.Integer(kLabelBackColour))));
  const std::string& caption = properties_.TextAt(kLabelCaption);
  if (caption.empty()) return;
  OwnedGdiObject describedFont = MakeDescribedFont(properties_.DataAt(kLabelFont));
  GdiHandle font = describedFont.Get() != 0 ? describedFont.Get() : platform.StockGuiFont();
  unsigned format = LabelTextFormat(properties_.Integer(kLabelHorizontalAlign),
                                    properties_.Integer(kLabelWordWrap) != 0,
                                    properties_.Integer(kLabelVerticalAlign));
  canvas.DrawTextIn(caption, canvas.ClientRect(), format, font,
                    static_cast<Colour>(properties_.Integer(kLabelTextColour)));
}
