// Which drives a drive selector lists, and the text of each item.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DriveItem {
  std::string text;  // GBK, such as "C: （硬盘） SYSTEM"
  char letter = 0;   // upper case
};

// The root strings of a drive-strings buffer (each ended by a zero byte, the
// list by an empty string or the end of the buffer).
std::vector<std::string> SplitDriveStrings(const std::string& buffer);

// Whether a selector with this `driveType` lists a drive of kind `driveKind`.
bool DriveTypeAccepts(std::int32_t driveType, unsigned driveKind);

// "L:", the kind in full-width parentheses, and a fixed disk's volume label.
std::string DriveItemText(char letter, unsigned driveKind, const std::string& volumeLabel);

// The items for the drives the system lists now, in its order.
std::vector<DriveItem> BuildDriveList(std::int32_t driveType);

// Upper-cases an ASCII letter; every other byte stays as it is.
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
