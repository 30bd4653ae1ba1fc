// The drive selector: a drop-down list of the computer's drives. Its
// currentDrive reads as the chosen drive's letter, or the current drive's
// letter when none is chosen.
#pragma once

#include <string>

#include "controls/control.h"
#include "platform/owned_gdi_object.h"
#include "shell/window_description.h"

enum DriverBoxProperty : int {
  kDriverBoxCurrentDrive = 0,
  kDriverBoxDriveType = 1,
  kDriverBoxTextColour = 2,
  kDriverBoxBackColour = 3,
  kDriverBoxFont = 4,
};

constexpr std::uint32_t kDriverBoxStyle = 0x44200043;  // child, clip siblings, scroll bar, drop-down list, auto scroll
constexpr std::int32_t kDriverBoxMinimumHeight = 80;    // the selection field with its open list
constexpr std::int32_t kSelectionEvent = 0;

class DriverBox : public Control {
 public:
  explicit DriverBox(const DriverBoxSettings& settings);

  bool Create(const ControlPlacement& placement) override;
  PropertyType TypeOf(int ownIndex) const override;
  PropertySlot Read(int ownIndex) override;
  void Write(int ownIndex, PropertySlot value) override;

  void OnNotify(unsigned code) override;
  bool OnColourRequest(ColourAnswer& answer) override;

  char storedLetter() const { return storedLetter_; }

 private:
  void FillDriveList();
  void SelectDrive(char letter);

  char storedLetter_;
  std::int32_t driveType_;
  Colour textColour_;
  Colour backColour_;
  DataBlock font_;
  OwnedGdiObject brush_;
  OwnedGdiObject fontObject_;
  std::string currentDriveText_;  // what the last read of currentDrive handed out
};
