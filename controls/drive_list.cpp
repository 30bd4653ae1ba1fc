#include "controls/drive_list.h"

#include "platform/platform.h"

std::vector<std::string> SplitDriveStrings(const std::string& buffer) {
  std::vector<std::string> roots;
  std::string::size_type start = 0;
  while (start < buffer.size() && buffer[start] != '\0') {
    std::string::size_type end = buffer.find('\0', start);
    if (end == std::string::npos) end = buffer.size();
    roots.push_back(buffer.substr(start, end - start));
    start = end + 1;
  }
  return roots;
}

bool DriveTypeAccepts(std::int32_t driveType, unsigned driveKind) {
  switch (driveType) {
    case 0:
      return true;
    case 1:
      return driveKind == win32::kDriveRemovable;
    case 2:
      return driveKind == win32::kDriveFixed;
    case 3:
      return driveKind == win32::kDriveCdrom;
    case 4:
      return driveKind == win32::kDriveRemote;
    case 5:
      return driveKind == win32::kDriveRamdisk;
    default:
      return false;
  }
}

std::string DriveItemText(char letter, unsigned driveKind, const std::string& volumeLabel) {
  std::string text(1, UpperAscii(letter));
  text += ':';
  switch (driveKind) {
    case win32::kDriveFixed:
      text += " \xA3\xA8\xD3\xB2\xC5\xCC\xA3\xA9";  //  （硬盘）
      if (!volumeLabel.empty()) text += ' ' + volumeLabel;
      break;
    case win32::kDriveRemote:
      text += " \xA3\xA8\xCD\xF8\xC2\xE7\xC7\xFD\xB6\xAF\xC6\xF7\xA3\xA9";  //  （网络驱动器）
      break;
    case win32::kDriveCdrom:
      text += " \xA3\xA8\xB9\xE2\xC7\xFD\xA3\xA9";  //  （光驱）
      break;
    case win32::kDriveRamdisk:
      text += " \xA3\xA8\xC4\xDA\xB4\xE6\xD0\xE9\xC4\xE2\xC7\xFD\xB6\xAF\xC6\xF7\xA3\xA9";  //  （内存虚拟驱动器）
      break;
    default:
      break;  // removable, unknown and rootless drives have no suffix
  }
  return text;
}

std::vector<DriveItem> BuildDriveList(std::int32_t driveType) {
  Platform& platform = ThePlatform();
  std::vector<DriveItem> items;
  for (const std::string& root : SplitDriveStrings(platform.LogicalDriveStrings())) {
    char letter = UpperAscii(root[0]);
    const char rootPath[] = {letter, ':', '\\', '\0'};
    unsigned kind = platform.DriveType(rootPath);
    if (!DriveTypeAccepts(driveType, kind)) continue;
    std::string label = kind == win32::kDriveFixed ? platform.VolumeLabel(root.c_str()) : std::string();
    items.push_back(DriveItem{DriveItemText(letter, kind, label), letter});
  }
  return items;
}
