// Values of the Windows API that portable code decides with. They are the
// system's own numbers; the Win32 build checks them against <windows.h>.
#pragma once

#include <cstdint>

namespace win32 {

// Window styles.
constexpr std::uint32_t kChild = 0x40000000;
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kDisabled = 0x08000000;
constexpr std::uint32_t kClipSiblings = 0x04000000;
constexpr std::uint32_t kClipChildren = 0x02000000;
constexpr std::uint32_t kCaption = 0x00C00000;
constexpr std::uint32_t kVScroll = 0x00200000;
constexpr std::uint32_t kSysMenu = 0x00080000;
constexpr std::uint32_t kThickFrame = 0x00040000;
constexpr std::uint32_t kMinimizeBox = 0x00020000;
constexpr std::uint32_t kMaximizeBox = 0x00010000;
constexpr std::uint32_t kTabStop = 0x00010000;

// Push button styles.
constexpr std::uint32_t kPushButton = 0x0000;
constexpr std::uint32_t kDefPushButton = 0x0001;
constexpr std::uint32_t kButtonIcon = 0x0040;
constexpr std::uint32_t kButtonBitmap = 0x0080;
constexpr std::uint32_t kButtonLeft = 0x0100;
constexpr std::uint32_t kButtonRight = 0x0200;
constexpr std::uint32_t kButtonCenter = 0x0300;
constexpr std::uint32_t kButtonTop = 0x0400;
constexpr std::uint32_t kButtonBottom = 0x0800;
constexpr std::uint32_t kButtonVCenter = 0x0C00;
constexpr std::uint32_t kButtonMultiline = 0x2000;

// Notifications.
constexpr unsigned kButtonClicked = 0;
constexpr unsigned kComboSetFocus = 3;
constexpr unsigned kComboKillFocus = 4;
constexpr unsigned kComboSelEndOk = 9;

// Drive kinds.
constexpr unsigned kDriveUnknown = 0;
constexpr unsigned kDriveNoRootDir = 1;
constexpr unsigned kDriveRemovable = 2;
constexpr unsigned kDriveFixed = 3;
constexpr unsigned kDriveRemote = 4;
constexpr unsigned kDriveCdrom = 5;
constexpr unsigned kDriveRamdisk = 6;

// DrawText formats.
constexpr unsigned kTextCenter = 0x0001;
constexpr unsigned kTextRight = 0x0002;
constexpr unsigned kTextVCenter = 0x0004;
constexpr unsigned kTextBottom = 0x0008;
constexpr unsigned kTextWordBreak = 0x0010;
constexpr unsigned kTextSingleLine = 0x0020;
constexpr unsigned kTextNoClip = 0x0100;

// Virtual keys.
constexpr unsigned kKeyTab = 0x09;
constexpr unsigned kKeyReturn = 0x0D;
constexpr unsigned kKeyEscape = 0x1B;

// System colours and fonts.
constexpr int kColourButtonFace = 15;
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::uint8_t kOutDefaultPrecision = 0;
constexpr std::uint8_t kClipDefaultPrecision = 0;
constexpr std::uint8_t kProofQuality = 2;
constexpr std::uint8_t kDefaultPitch = 0;

}  // namespace win32
