// Sole owner of one GDI object made through the platform.
#pragma once

#include "platform/platform.h"

class OwnedGdiObject {
 public:
  OwnedGdiObject() = default;
  explicit OwnedGdiObject(GdiHandle object) : object_(object) {}
  OwnedGdiObject(const OwnedGdiObject&) = delete;
  OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
  OwnedGdiObject(OwnedGdiObject&& other) noexcept : object_(other.object_) { other.object_ = 0; }
  OwnedGdiObject& operator=(OwnedGdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = other.object_;
      other.object_ = 0;
    }
    return *this;
  }
  ~OwnedGdiObject() { Reset(); }

  GdiHandle Get() const { return object_; }
  void Reset() {
    if (object_ != 0) ThePlatform().DeleteGdiObject(object_);
    object_ = 0;
  }

 private:
  GdiHandle object_ = 0;
};
