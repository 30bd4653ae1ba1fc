#include "monitor/disk_query.h"

#include <limits>

#include "controls/drive_list.h"
#include "platform/current_drive.h"
#include "platform/platform.h"

char DriveLetterOf(Text drive) {
  char first = drive != nullptr ? UpperAscii(drive[0]) : '\0';
  return first >= 'A' && first <= 'Z' ? first : CurrentDriveLetter();
}

std::int64_t KibibytesOfClusters(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                                 std::uint32_t clusters) {
  // The 96-bit product as a high and a low 64-bit half.
  std::uint64_t clusterBytes = static_cast<std::uint64_t>(sectorsPerCluster) * bytesPerSector;
  std::uint64_t lowProduct = (clusterBytes & 0xFFFFFFFFu) * clusters;
  std::uint64_t highProduct = (clusterBytes >> 32) * clusters + (lowProduct >> 32);
  std::uint64_t low = (highProduct << 32) | (lowProduct & 0xFFFFFFFFu);
  std::uint64_t high = highProduct >> 32;
  // Add half of 1024, then shift by 10 across both halves.
  std::uint64_t rounded = low + 512;
  if (rounded < low) ++high;
  std::uint64_t kibibytes = (rounded >> 10) | (high << 54);
  if ((high >> 10) != 0 || kibibytes > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return kQueryFailed;
  }
  return static_cast<std::int64_t>(kibibytes);
}

std::int64_t QueryDiskSpace(Text drive, DiskFigure figure) {
  Platform& platform = ThePlatform();
  char root[] = "c:\\";
  root[0] = DriveLetterOf(drive);

  DiskBytes bytes;
  switch (platform.QueryDiskBytes(root, bytes)) {
    case DiskQueryOutcome::Answered:
      return static_cast<std::int64_t>((figure == DiskFigure::Total ? bytes.total : bytes.freeToCaller) >> 10);
    case DiskQueryOutcome::Failed:
      return kQueryFailed;
    case DiskQueryOutcome::Unavailable:
      break;
  }
  DiskClusters clusters;
  if (!platform.QueryDiskClusters(root, clusters)) return kQueryFailed;
  return KibibytesOfClusters(clusters.sectorsPerCluster, clusters.bytesPerSector,
                             figure == DiskFigure::Total ? clusters.totalClusters : clusters.freeClusters);
}

std::int64_t DiskTotalSpace(Text drive) { return QueryDiskSpace(drive, DiskFigure::Total); }

std::int64_t DiskFreeSpace(Text drive) { return QueryDiskSpace(drive, DiskFigure::Free); }
