// Stored values of a control's own properties, by declared type.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "controls/control.h"

class PropertyStore {
 public:
  explicit PropertyStore(std::initializer_list<PropertyType> types);

  PropertyType TypeOf(int index) const;
  // Texts and data as pointers to the stored copies; 0 for an index the store lacks.
  PropertySlot Read(int index) const;
  // Stores a slot already converted by the declared type.
  void Store(int index, PropertySlot value);

  std::int32_t Integer(int index) const { return values_[Checked(index)].integer; }
  void SetInteger(int index, std::int32_t value) { values_[Checked(index)].integer = value; }
  const std::string& TextAt(int index) const { return values_[Checked(index)].text; }
  // Assigned in place, so rewriting a caption reuses its storage.
  void SetText(int index, const char* text) { values_[Checked(index)].text.assign(text); }
  const DataBlock& DataAt(int index) const { return values_[Checked(index)].data; }

 private:
  struct Value {
    PropertyType type = PropertyType::None;
    std::int32_t integer = 0;
    std::string text;
    DataBlock data;
  };
  std::size_t Checked(int index) const;

  std::vector<Value> values_;
};
