// The drive the process works on, worked out afresh at every use.
#pragma once

#include <string>

#include "platform/platform.h"

// The character with code 64 ('@') names no drive.
constexpr char kNoDriveLetter = '@';

// The upper-cased first character of `directory` when its second is ':',
// otherwise kNoDriveLetter (a network path, or a failed call).
char DriveLetterOfDirectory(const std::wstring& directory);

char CurrentDriveLetter();
