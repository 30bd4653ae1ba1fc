#include "controls/font_rule.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

std::int32_t LongAt(const char* bytes, std::size_t offset) {
  std::int32_t value = 0;
  std::memcpy(&value, bytes + offset, sizeof value);  // LOGFONTA is little-endian on Windows
  return value;
}

}  // namespace

bool FontRequestFrom(const DataBlock& description, FontRequest& request) {
  if (!description.Present() || description.Size() != kFontDescriptionSize) return false;
  const char* bytes = description.Bytes();
  request.height = LongAt(bytes, 0);
  request.width = LongAt(bytes, 4);
  request.escapement = LongAt(bytes, 8);
  request.orientation = LongAt(bytes, 12);
  request.weight = LongAt(bytes, 16);
  request.italic = static_cast<std::uint8_t>(bytes[20]);
  request.underline = static_cast<std::uint8_t>(bytes[21]);
  request.strikeOut = static_cast<std::uint8_t>(bytes[22]);
  request.charSet = win32::kDefaultCharset;
  request.outPrecision = win32::kOutDefaultPrecision;
  request.clipPrecision = win32::kClipDefaultPrecision;
  request.quality = win32::kProofQuality;
  request.pitchAndFamily = win32::kDefaultPitch;
  const char* face = bytes + 28;
  request.faceName.assign(face, std::find(face, face + 32, '\0'));
  return true;
}

OwnedGdiObject MakeDescribedFont(const DataBlock& description) {
  FontRequest request;
  if (!FontRequestFrom(description, request)) return OwnedGdiObject();
  return OwnedGdiObject(ThePlatform().MakeFont(request));
}

void ApplyFont(WindowHandle window, const DataBlock& description, OwnedGdiObject& owned, bool redraw) {
  OwnedGdiObject font = MakeDescribedFont(description);
  Platform& platform = ThePlatform();
  platform.SetWindowFont(window, font.Get() != 0 ? font.Get() : platform.StockGuiFont(), redraw);
  owned = std::move(font);
}
