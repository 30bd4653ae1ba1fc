// Fonts of the controls: a 60-byte description in the layout of LOGFONTA
// becomes a font; without one (or when it cannot be made) the default GUI font.
#pragma once

#include "controls/control.h"
#include "platform/owned_gdi_object.h"

constexpr std::uint32_t kFontDescriptionSize = 60;

// The request a description stands for, with character set, precisions,
// quality and pitch forced to the system defaults. False unless exactly 60 bytes.
bool FontRequestFrom(const DataBlock& description, FontRequest& request);

// A font made from the description, or none (then the caller uses the stock GUI font).
OwnedGdiObject MakeDescribedFont(const DataBlock& description);

// Gives `window` the described font, or the stock GUI font, and keeps a made
// font in `owned` (freeing the one it held, which the window no longer uses).
void ApplyFont(WindowHandle window, const DataBlock& description, OwnedGdiObject& owned, bool redraw);
