#include "platform/win32/code_page.h"

#include <windows.h>

namespace {
constexpr UINT kGbkCodePage = 936;
}

std::wstring WideFromGbk(const std::string& text) {
  if (text.empty()) return std::wstring();
  int length = MultiByteToWideChar(kGbkCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (length > 0) {
    MultiByteToWideChar(kGbkCodePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  }
  return wide;
}

std::string GbkFromWide(const std::wstring& text) {
  if (text.empty()) return std::string();
  int length = WideCharToMultiByte(kGbkCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  if (length > 0) {
    WideCharToMultiByte(kGbkCodePage, 0, text.data(), static_cast<int>(text.size()), &narrow[0], length, nullptr,
                        nullptr);
  }
  return narrow;
}
