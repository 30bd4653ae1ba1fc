#include "controls/property_store.h"

#include <cstdlib>

PropertyStore::PropertyStore(std::initializer_list<PropertyType> types) {
  for (PropertyType type : types) {
    Value value;
    value.type = type;
    values_.push_back(value);
  }
}

std::size_t PropertyStore::Checked(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= values_.size()) std::abort();  // a control's own mistake
  return static_cast<std::size_t>(index);
}

PropertyType PropertyStore::TypeOf(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= values_.size()) return PropertyType::None;
  return values_[static_cast<std::size_t>(index)].type;
}

PropertySlot PropertyStore::Read(int index) const {
  switch (TypeOf(index)) {
    case PropertyType::Integer:
    case PropertyType::Logical:
      return SlotFromInteger(Integer(index));
    case PropertyType::Text:
      return SlotFromPointer(TextAt(index).c_str());
    case PropertyType::Data:
      return SlotFromPointer(DataAt(index).Pointer());
    case PropertyType::None:
      break;
  }
  return 0;
}

void PropertyStore::Store(int index, PropertySlot value) {
  switch (TypeOf(index)) {
    case PropertyType::Integer:
    case PropertyType::Logical:
      SetInteger(index, IntegerFromSlot(value));
      break;
    case PropertyType::Text:
      SetText(index, PointerFromSlot(value));
      break;
    case PropertyType::Data:
      values_[static_cast<std::size_t>(index)].data = DataBlock::FromPointer(PointerFromSlot(value));
      break;
    case PropertyType::None:
      break;
  }
}
