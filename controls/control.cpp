#include "controls/control.h"

#include "shell/program.h"

void Control::OnGone() { ControlGone(windowNumber_, controlNumber_); }

bool Control::MakeSystemWindow(WindowKind kind, const ControlPlacement& placement, std::uint32_t style,
                               const std::string& text) {
  windowNumber_ = placement.windowNumber;
  controlNumber_ = placement.controlNumber;
  WindowSpec spec;
  spec.kind = kind;
  spec.parent = placement.parent;
  spec.childId = placement.childId;
  spec.style = style;
  spec.rect = placement.rect;
  spec.text = text;
  spec.owner = this;
  window_ = ThePlatform().MakeWindow(spec);
  return window_ != 0;
}

void Control::Raise(std::int32_t eventIndex) { RaiseEvent(windowNumber_, controlNumber_, eventIndex); }

Colour ResolveColour(Colour colour) {
  return colour == 0xFF000000 ? ThePlatform().SystemColour(win32::kColourButtonFace) : colour;
}
