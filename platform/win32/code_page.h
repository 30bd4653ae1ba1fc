// Conversions between the program's GBK texts (code page 936) and the UTF-16
// of the W functions, so the window reads right whatever the system's ANSI
// code page is.
#pragma once

#include <string>

std::wstring WideFromGbk(const std::string& text);
// Characters without a GBK form become '?'.
std::string GbkFromWide(const std::wstring& text);
