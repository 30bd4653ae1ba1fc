#include "platform/current_drive.h"

char DriveLetterOfDirectory(const std::wstring& directory) {
  if (directory.size() < 2 || directory[1] != L':') return kNoDriveLetter;
  wchar_t first = directory[0];
  if (first >= L'a' && first <= L'z') first = static_cast<wchar_t>(first - L'a' + L'A');
  return first >= L'A' && first <= L'Z' ? static_cast<char>(first) : kNoDriveLetter;
}

char CurrentDriveLetter() { return DriveLetterOfDirectory(ThePlatform().WorkingDirectory()); }
