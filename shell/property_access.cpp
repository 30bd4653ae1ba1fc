#include "shell/property_access.h"

#include <cstring>

#include "shell/program.h"
#include "shell/shell_texts.h"

namespace {

ControlRecord& AddressedControl(Shell& shell, ControlNumber windowNumber, ControlNumber controlNumber) {
  WindowRecord* window = shell.FindWindowRecord(windowNumber);
  ControlRecord* control = window != nullptr ? shell.FindControlRecord(*window, controlNumber) : nullptr;
  // A control the window lacks is reported like a window that is not loaded.
  if (control == nullptr) FatalError(kPropertyWindowMissing, 0);
  return *control;
}

bool IsLive(Shell& shell, const ControlRecord& control) {
  return control.component != nullptr && shell.platform().WindowExists(control.component->Handle());
}

Control& LiveComponent(Shell& shell, ControlRecord& control) {
  if (!IsLive(shell, control)) FatalError(kPropertyControlNotLive, 0);
  return *control.component;
}

PropertySlot CopyOut(const char* bytes, std::size_t size) {
  char* copy = AllocateText(size);
  std::memcpy(copy, bytes, size);
  return SlotFromPointer(copy);
}

PropertySlot NewTextSlot(const char* text) {
  if (text == nullptr || *text == '\0') return 0;
  return CopyOut(text, std::strlen(text) + 1);
}

PropertySlot NewDataSlot(const char* block) {
  if (block == nullptr) return 0;
  std::uint32_t size = 0;
  std::memcpy(&size, block, sizeof size);
  return CopyOut(block, sizeof size + size);
}

PropertySlot ReadCommon(Shell& shell, ControlRecord& control, std::int32_t index) {
  const CommonProperties& common = control.common;
  auto rect = [&shell, &control] {
    return IsLive(shell, control) ? shell.platform().WindowRect(control.component->Handle()) : control.common.rect;
  };
  switch (index) {
    case kLeftProperty:
      return SlotFromInteger(rect().left);
    case kTopProperty:
      return SlotFromInteger(rect().top);
    case kWidthProperty:
      return SlotFromInteger(rect().Width());
    case kHeightProperty:
      return SlotFromInteger(rect().Height());
    case kTagProperty:
      return NewTextSlot(common.tag.c_str());
    case kVisibleProperty:
      return common.visible ? 1 : 0;
    case kDisabledProperty:
      return common.disabled ? 1 : 0;
    case kMousePointerProperty:
      return SlotFromInteger(common.mousePointer);
    default:
      return 0;
  }
}

void WriteCommon(Shell& shell, ControlRecord& control, std::int32_t index, PropertySlot value) {
  CommonProperties& common = control.common;
  Platform& platform = shell.platform();
  bool live = IsLive(shell, control);
  std::int32_t number = IntegerFromSlot(value);
  switch (index) {
    case kLeftProperty:
    case kTopProperty:
    case kWidthProperty:
    case kHeightProperty: {
      Rect rect = live ? platform.WindowRect(control.component->Handle()) : common.rect;
      if (index == kLeftProperty) rect = Rect{number, rect.top, number + rect.Width(), rect.bottom};
      if (index == kTopProperty) rect = Rect{rect.left, number, rect.right, number + rect.Height()};
      if (index == kWidthProperty) rect.right = rect.left + number;
      if (index == kHeightProperty) rect.bottom = rect.top + number;
      common.rect = rect;
      if (live) platform.PlaceWindow(control.component->Handle(), rect);
      break;
    }
    case kTagProperty: {
      Text tag = TextFromSlot(value);
      common.tag = tag != nullptr ? tag : "";
      break;
    }
    case kVisibleProperty:
      common.visible = value != 0;
      if (live && control.component->CanBeShown()) {
        platform.ShowWindow(control.component->Handle(),
                            common.visible ? ShowMode::ShowWithoutActivating : ShowMode::Hide);
      }
      break;
    case kDisabledProperty:
      common.disabled = value != 0;
      if (live) platform.EnableWindow(control.component->Handle(), !common.disabled);
      break;
    case kMousePointerProperty:
      common.mousePointer = number;
      break;
    default:
      break;
  }
}

}  // namespace

PropertySlot ReadProperty(ControlNumber window, ControlNumber control, std::int32_t propertyIndex,
                          std::int32_t elementIndex) {
  Shell& shell = TheShell();
  ControlRecord& record = AddressedControl(shell, window, control);
  if (propertyIndex < kFirstOwnProperty) {
    return elementIndex == kWholeValue ? ReadCommon(shell, record, propertyIndex) : 0;
  }
  Control& component = LiveComponent(shell, record);
  int ownIndex = propertyIndex - kFirstOwnProperty;
  PropertyType type = component.TypeOf(ownIndex);
  // None of these properties has parts: another element index reads as nothing.
  if (type == PropertyType::None || elementIndex != kWholeValue) return 0;
  PropertySlot slot = component.Read(ownIndex);
  switch (type) {
    case PropertyType::Integer:
      return SlotFromInteger(IntegerFromSlot(slot));
    case PropertyType::Logical:
      return slot == 1 ? 1 : 0;
    case PropertyType::Text:
      return NewTextSlot(PointerFromSlot(slot));
    case PropertyType::Data:
      return NewDataSlot(PointerFromSlot(slot));
    case PropertyType::None:
      break;
  }
  return 0;
}

void WriteProperty(ControlNumber window, ControlNumber control, std::int32_t propertyIndex,
                   std::int32_t elementIndex, PropertySlot value) {
  Shell& shell = TheShell();
  ControlRecord& record = AddressedControl(shell, window, control);
  if (propertyIndex < kFirstOwnProperty) {
    if (elementIndex == kWholeValue) WriteCommon(shell, record, propertyIndex, value);
    return;
  }
  Control& component = LiveComponent(shell, record);
  int ownIndex = propertyIndex - kFirstOwnProperty;
  PropertyType type = component.TypeOf(ownIndex);
  if (type == PropertyType::None || elementIndex != kWholeValue) return;
  switch (type) {
    case PropertyType::Integer:
      component.Write(ownIndex, SlotFromInteger(IntegerFromSlot(value)));
      break;
    case PropertyType::Logical:
      component.Write(ownIndex, value != 0 ? 1 : 0);
      break;
    case PropertyType::Text: {
      Text text = TextFromSlot(value);
      component.Write(ownIndex, SlotFromText(text != nullptr ? text : ""));
      break;
    }
    case PropertyType::Data:
      component.Write(ownIndex, value);
      break;
    case PropertyType::None:
      break;
  }
}
