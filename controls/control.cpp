#include "controls/control.h"

#include "shell/program.h"

void Control::OnGone() { ControlGone(windowNumber_, controlNumber_); }

bool Control::MakeSystemWindow(WindowKind kind, const ControlPlacement& placement, std::uint32_t style,
                               const std::string& text) {
  windowNumber_ = placement.windowNumber;
  controlNumber_ = placement.controlNumber;
  WindowRequest request;
  request.kind = kind;
  request.parent = placement.parent;
  request.childId = placement.childId;
  request.style = style;
  request.rect = placement.rect;
  request.text = text;
  request.owner = this;
  window_ = ThePlatform().MakeWindow(request);
  return window_ != 0;
}

void Control::Raise(std::int32_t eventIndex) { RaiseEvent(windowNumber_, controlNumber_, eventIndex); }

Colour ResolveColour(Colour colour) {
  return colour == 0xFF000000 ? ThePlatform().SystemColour(win32::kColourButtonFace) : colour;
}
