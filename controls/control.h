// What every component kind offers the shell: its system window, its own
// properties (numbered from 0 inside the kind) and the window events it
// receives through WindowOwner.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/platform.h"

// A property value in transit: one 64-bit slot. Integers sit in the low half,
// texts and data blocks travel as pointers.
using PropertySlot = std::uint64_t;

enum class PropertyType {
  None,     // the kind has no such property
  Integer,  // 32-bit signed, colours included
  Text,     // pointer to a zero-terminated GBK text
  Logical,  // 0 or 1
  Data,     // pointer to a data block (4-byte length, then the bytes), or null for none
};

inline PropertySlot SlotFromInteger(std::int32_t value) { return static_cast<std::uint32_t>(value); }
inline std::int32_t IntegerFromSlot(PropertySlot slot) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(slot & 0xFFFFFFFFu));
}
inline PropertySlot SlotFromPointer(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }
inline const char* PointerFromSlot(PropertySlot slot) {
  return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(slot));
}

// Bytes of a data value (a font description or a picture), stored with its
// length in front so that a pointer to it carries both.
class DataBlock {
 public:
  DataBlock() = default;
  // Copies the block behind `block` (null is none).
  static DataBlock FromPointer(const char* block) {
    DataBlock data;
    if (block != nullptr) {
      std::uint32_t size = 0;
      std::memcpy(&size, block, sizeof size);
      data.bytes_.assign(block, block + sizeof size + size);
    }
    return data;
  }
  static DataBlock FromBytes(const void* bytes, std::uint32_t size) {
    DataBlock data;
    data.bytes_.resize(sizeof size + size);
    std::memcpy(&data.bytes_[0], &size, sizeof size);
    if (size > 0) std::memcpy(&data.bytes_[sizeof size], bytes, size);
    return data;
  }
  bool Present() const { return !bytes_.empty(); }
  std::uint32_t Size() const { return Present() ? static_cast<std::uint32_t>(bytes_.size() - 4) : 0; }
  const char* Bytes() const { return Present() ? bytes_.data() + 4 : nullptr; }
  const char* Pointer() const { return Present() ? bytes_.data() : nullptr; }

 private:
  std::string bytes_;
};

// Where and how the window builder asks a control to create itself.
struct ControlPlacement {
  WindowHandle parent = 0;
  int childId = 0;
  std::uint32_t commonStyle = 0;  // WS_DISABLED and WS_TABSTOP as the description says
  Rect rect;                      // in the parent's client coordinates
  std::uint32_t windowNumber = 0;
  std::uint32_t controlNumber = 0;
};

class Control : public WindowOwner {
 public:
  // Creates the control's system window; false when it cannot be made.
  virtual bool Create(const ControlPlacement& placement) = 0;
  virtual PropertyType TypeOf(int ownIndex) const = 0;
  // Texts and data come back as pointers to the control's own copies.
  virtual PropertySlot Read(int ownIndex) = 0;
  // Text slots are never null here; the shell passes "" for the empty text.
  virtual void Write(int ownIndex, PropertySlot value) = 0;
  // Whether the control has a visible form at run time.
  virtual bool CanBeShown() const { return true; }
  virtual bool IsDefaultButton() const { return false; }

  WindowHandle Handle() const { return window_; }

  void OnCreated(WindowHandle window) override { window_ = window; }
  // Tells the shell the control is gone, which frees it: nothing may follow.
  void OnGone() override;

 protected:
  bool MakeSystemWindow(WindowKind kind, const ControlPlacement& placement, std::uint32_t style,
                        const std::string& text);
  void Raise(std::int32_t eventIndex);

  WindowHandle window_ = 0;
  std::uint32_t windowNumber_ = 0;
  std::uint32_t controlNumber_ = 0;
};

// A background colour of 0xFF000000 stands for the system button-face colour.
Colour ResolveColour(Colour colour);

// Common events of every control.
constexpr std::int32_t kGotFocusEvent = -7;
constexpr std::int32_t kLostFocusEvent = -8;
