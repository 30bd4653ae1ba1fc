#include "controls/button.h"

#include <algorithm>

#include "controls/font_rule.h"

std::uint32_t ButtonStyle(std::uint32_t commonStyle, std::int32_t buttonType, std::int32_t horizontalAlign,
                          std::int32_t verticalAlign) {
  static const std::uint32_t kHorizontal[] = {win32::kButtonLeft, win32::kButtonCenter, win32::kButtonRight};
  static const std::uint32_t kVertical[] = {win32::kButtonTop, win32::kButtonVCenter, win32::kButtonBottom};
  return commonStyle | win32::kChild | win32::kClipSiblings | win32::kButtonMultiline |
         (buttonType == 1 ? win32::kDefPushButton : win32::kPushButton) |
         kHorizontal[std::clamp(horizontalAlign, 0, 2)] | kVertical[std::clamp(verticalAlign, 0, 2)];
}

Button::Button(const ButtonSettings& settings)
    : properties_({PropertyType::Data, PropertyType::Integer, PropertyType::Text, PropertyType::Integer,
                   PropertyType::Integer, PropertyType::Data}) {
  properties_.SetText(kButtonCaption, settings.caption != nullptr ? settings.caption : "");
  properties_.SetInteger(kButtonType, settings.buttonType);
  properties_.SetInteger(kButtonHorizontalAlign, settings.horizontalAlign);
  properties_.SetInteger(kButtonVerticalAlign, settings.verticalAlign);
}

std::uint32_t Button::Style() const {
  return ButtonStyle(commonStyle_, properties_.Integer(kButtonType), properties_.Integer(kButtonHorizontalAlign),
                     properties_.Integer(kButtonVerticalAlign));
}

bool Button::Create(const ControlPlacement& placement) {
  commonStyle_ = placement.commonStyle;
  if (!MakeSystemWindow(WindowKind::PushButton, placement, Style(), properties_.TextAt(kButtonCaption))) {
    return false;
  }
  ApplyFont(window_, properties_.DataAt(kButtonFont), font_, false);
  return true;
}

void Button::Write(int ownIndex, PropertySlot value) {
  Platform& platform = ThePlatform();
  switch (ownIndex) {
    case kButtonType:
      properties_.SetInteger(kButtonType, std::clamp(IntegerFromSlot(value), 0, 1));
      break;
    case kButtonHorizontalAlign:
    case kButtonVerticalAlign:
      properties_.SetInteger(ownIndex, std::clamp(IntegerFromSlot(value), 0, 2));
      break;
    default:
      properties_.Store(ownIndex, value);
      break;
  }
  switch (ownIndex) {
    case kButtonType:
    case kButtonHorizontalAlign:
    case kButtonVerticalAlign:
      platform.ChangeStyle(window_, Style());
      platform.Invalidate(window_, true);
      break;
    case kButtonCaption:
      platform.SetText(window_, properties_.TextAt(kButtonCaption));
      break;
    case kButtonFont:
      ApplyFont(window_, properties_.DataAt(kButtonFont), font_, true);
      break;
    default:
      break;  // the picture is kept; this program draws none
  }
}

void Button::OnNotify(unsigned code) {
  if (code == win32::kButtonClicked) Raise(kClickEvent);
}

void Button::OnFocusChanged(bool gained) { Raise(gained ? kGotFocusEvent : kLostFocusEvent); }
