// The push button: the system's own, clicked with the mouse or with Space.
#pragma once

#include "controls/control.h"
#include "controls/property_store.h"
#include "platform/owned_gdi_object.h"
#include "shell/window_description.h"

enum ButtonProperty : int {
  kButtonPicture = 0,
  kButtonType = 1,
  kButtonCaption = 2,
  kButtonHorizontalAlign = 3,
  kButtonVerticalAlign = 4,
  kButtonFont = 5,
};

constexpr std::int32_t kClickEvent = 0;

// Window style of a push button with these settings.
std::uint32_t ButtonStyle(std::uint32_t commonStyle, std::int32_t buttonType, std::int32_t horizontalAlign,
                          std::int32_t verticalAlign);

class Button : public Control {
 public:
  explicit Button(const ButtonSettings& settings);

  bool Create(const ControlPlacement& placement) override;
  PropertyType TypeOf(int ownIndex) const override { return properties_.TypeOf(ownIndex); }
  PropertySlot Read(int ownIndex) override { return properties_.Read(ownIndex); }
  void Write(int ownIndex, PropertySlot value) override;
  bool IsDefaultButton() const override { return properties_.Integer(kButtonType) == 1; }

  void OnNotify(unsigned code) override;
  void OnFocusChanged(bool gained) override;

 private:
  std::uint32_t Style() const;

  PropertyStore properties_;
  std::uint32_t commonStyle_ = 0;
  OwnedGdiObject font_;
};
