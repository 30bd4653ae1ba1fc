// The static text label: one line of text on a plain background, painted by
// the label itself without erasing, so rewriting it every second never flickers.
#pragma once

#include "controls/control.h"
#include "controls/property_store.h"
#include "shell/window_description.h"

// Own property numbers of a label.
enum LabelProperty : int {
  kLabelCaption = 0,
  kLabelTextEffect = 1,
  kLabelBorderStyle = 2,
  kLabelBorderWidth = 3,
  kLabelBorderColour1 = 4,
  kLabelBorderColour2 = 5,
  kLabelBorderColour3 = 6,
  kLabelFont = 7,
  kLabelTextColour = 8,
  kLabelBackColour = 9,
  kLabelBackPicture = 10,
  kLabelBackPictureLayout = 11,
  kLabelBackGradientStyle = 12,
  kLabelBackGradientColour1 = 13,
  kLabelBackGradientColour2 = 14,
  kLabelBackGradientColour3 = 15,
  kLabelHorizontalAlign = 16,
  kLabelWordWrap = 17,
  kLabelVerticalAlign = 18,
  kLabelDataSource = 19,
  kLabelDataColumn = 20,
};

// DrawText flags for the label's alignment settings.
unsigned LabelTextFormat(std::int32_t horizontalAlign, bool wordWrap, std::int32_t verticalAlign);

class Label : public Control {
 public:
  explicit Label(const LabelSettings& settings);

  bool Create(const ControlPlacement& placement) override;
  PropertyType TypeOf(int ownIndex) const override { return properties_.TypeOf(ownIndex); }
  PropertySlot Read(int ownIndex) override { return properties_.Read(ownIndex); }
  void Write(int ownIndex, PropertySlot value) override;
  void OnPaint(Canvas& canvas) override;

 private:
  PropertyStore properties_;
};
