// Total and free space of one drive, in kibibytes, straight from the system.
#pragma once

#include <cstdint>

#include "monitor/text.h"

enum class DiskFigure { Total, Free };

constexpr std::int64_t kQueryFailed = -1;

// The drive a text names: its first byte if that is an ASCII letter (upper-
// cased), otherwise the current drive. Null and empty texts name the current drive.
char DriveLetterOf(Text drive);

// Kibibytes of `figure` for the drive `drive` names, or kQueryFailed.
std::int64_t QueryDiskSpace(Text drive, DiskFigure figure);
std::int64_t DiskTotalSpace(Text drive);
std::int64_t DiskFreeSpace(Text drive);

// sectors × bytes × clusters / 1024, to the nearest with halves away from
// zero, without overflow; kQueryFailed when it does not fit.
std::int64_t KibibytesOfClusters(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                                 std::uint32_t clusters);
