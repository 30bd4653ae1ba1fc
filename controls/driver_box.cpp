#include "controls/driver_box.h"

#include <algorithm>

#include "controls/drive_list.h"
#include "controls/font_rule.h"
#include "platform/current_drive.h"

DriverBox::DriverBox(const DriverBoxSettings& settings)
    : storedLetter_(settings.storedLetter),
      driveType_(settings.driveType),
      textColour_(settings.textColour),
      backColour_(settings.backColour) {}

bool DriverBox::Create(const ControlPlacement& placement) {
  Platform& platform = ThePlatform();
  brush_ = OwnedGdiObject(platform.CreateSolidBrush(ResolveColour(backColour_)));
  ControlPlacement listPlacement = placement;
  listPlacement.rect.bottom = placement.rect.top + std::max(placement.rect.Height(), kDriverBoxMinimumHeight);
  if (!MakeSystemWindow(WindowKind::ComboBox, listPlacement, placement.commonStyle | kDriverBoxStyle, "")) {
    return false;
  }
  ApplyFont(window_, font_, fontObject_, true);
  FillDriveList();
  return true;
}

void DriverBox::FillDriveList() {
  Platform& platform = ThePlatform();
  platform.ComboReset(window_);
  char target = storedLetter_ != 0 ? storedLetter_ : CurrentDriveLetter();
  int chosen = -1;
  for (const DriveItem& item : BuildDriveList(driveType_)) {
    int index = platform.ComboAdd(window_, item.text);
    platform.ComboSetItemData(window_, index, static_cast<unsigned char>(item.letter));
    if (item.letter == target) chosen = index;
  }
  storedLetter_ = chosen >= 0 ? target : 0;
  platform.ComboSelect(window_, chosen);
}

void DriverBox::SelectDrive(char letter) {
  Platform& platform = ThePlatform();
  char target = letter != 0 ? letter : CurrentDriveLetter();
  int count = platform.ComboCount(window_);
  for (int index = 0; index < count; ++index) {
    if (static_cast<char>(platform.ComboItemData(window_, index) & 0xFF) == target) {
      platform.ComboSelect(window_, index);
      storedLetter_ = target;
      return;
    }
  }
  platform.ComboSelect(window_, -1);
  storedLetter_ = 0;
}

PropertyType DriverBox::TypeOf(int ownIndex) const {
  switch (ownIndex) {
    case kDriverBoxCurrentDrive:
      return PropertyType::Text;
    case kDriverBoxDriveType:
    case kDriverBoxTextColour:
    case kDriverBoxBackColour:
      return PropertyType::Integer;
    case kDriverBoxFont:
      return PropertyType::Data;
    default:
      return PropertyType::None;
  }
}

PropertySlot DriverBox::Read(int ownIndex) {
  switch (ownIndex) {
    case kDriverBoxCurrentDrive:
      currentDriveText_.assign(1, storedLetter_ != 0 ? storedLetter_ : CurrentDriveLetter());
      return SlotFromPointer(currentDriveText_.c_str());
    case kDriverBoxDriveType:
      return SlotFromInteger(driveType_);
    case kDriverBoxTextColour:
      return SlotFromInteger(static_cast<std::int32_t>(textColour_));
    case kDriverBoxBackColour:
      return SlotFromInteger(static_cast<std::int32_t>(backColour_));
    case kDriverBoxFont:
      return SlotFromPointer(font_.Pointer());
    default:
      return 0;
  }
}

void DriverBox::Write(int ownIndex, PropertySlot value) {
  Platform& platform = ThePlatform();
  switch (ownIndex) {
    case kDriverBoxCurrentDrive:
      SelectDrive(UpperAscii(*PointerFromSlot(value)));
      break;
    case kDriverBoxDriveType:
      driveType_ = std::clamp(IntegerFromSlot(value), 0, 5);
      FillDriveList();
      break;
    case kDriverBoxTextColour:
      textColour_ = static_cast<Colour>(IntegerFromSlot(value));
      platform.Invalidate(window_, true);
      break;
    case kDriverBoxBackColour:
      backColour_ = static_cast<Colour>(IntegerFromSlot(value));
      brush_ = OwnedGdiObject(platform.CreateSolidBrush(ResolveColour(backColour_)));
      platform.Invalidate(window_, true);
      break;
    case kDriverBoxFont:
      font_ = DataBlock::FromPointer(PointerFromSlot(value));
      ApplyFont(window_, font_, fontObject_, true);
      break;
    default:
      break;
  }
}

void DriverBox::OnNotify(unsigned code) {
  Platform& platform = ThePlatform();
  switch (code) {
    case win32::kComboSelEndOk: {
      int selection = platform.ComboSelection(window_);
      storedLetter_ = selection < 0 ? 0 : static_cast<char>(platform.ComboItemData(window_, selection) & 0xFF);
      Raise(kSelectionEvent);
      break;
    }
    case win32::kComboSetFocus:
      Raise(kGotFocusEvent);
      break;
    case win32::kComboKillFocus:
      Raise(kLostFocusEvent);
      break;
    default:
      break;
  }
}

bool DriverBox::OnColourRequest(ColourAnswer& answer) {
  answer.text = textColour_;
  answer.background = ResolveColour(backColour_);
  answer.brush = brush_.Get();
  return true;
}
