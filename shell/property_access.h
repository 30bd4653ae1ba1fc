// Reading and writing control properties by window number, control number,
// property index (0 to 7 common to every control, 8 and up the kind's own)
// and element index (-1 for the whole value).
#pragma once

#include <cstdint>

#include "controls/control.h"
#include "monitor/text.h"
#include "shell/window_description.h"

enum CommonProperty : std::int32_t {
  kLeftProperty = 0,
  kTopProperty = 1,
  kWidthProperty = 2,
  kHeightProperty = 3,
  kTagProperty = 4,
  kVisibleProperty = 5,
  kDisabledProperty = 6,
  kMousePointerProperty = 7,
  kFirstOwnProperty = 8,
};

constexpr std::int32_t kWholeValue = -1;

// A text property reads as a new owned Text (null when empty); integers sit in
// the low half; logicals read as 0 or 1.
PropertySlot ReadProperty(ControlNumber window, ControlNumber control, std::int32_t propertyIndex,
                          std::int32_t elementIndex);
// A text argument is only borrowed; null is the empty text.
void WriteProperty(ControlNumber window, ControlNumber control, std::int32_t propertyIndex,
                   std::int32_t elementIndex, PropertySlot value);

inline Text TextFromSlot(PropertySlot slot) { return PointerFromSlot(slot); }
inline PropertySlot SlotFromText(Text text) { return SlotFromPointer(text); }
