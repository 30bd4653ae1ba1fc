#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <string>

#include "monitor/disk_query.h"
#include "platform/current_drive.h"
#include "test_support.h"

namespace {

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kTiB = kKiB * kKiB * kKiB * kKiB;
constexpr std::uint32_t kAllOnes = 0xFFFFFFFFu;

FakeDrive DriveOfBytes(std::uint64_t total, std::uint64_t freeToCaller, std::uint64_t totalFree) {
  FakeDrive drive;
  drive.bytes.total = total;
  drive.bytes.freeToCaller = freeToCaller;
  drive.bytes.totalFree = totalFree;
  return drive;
}

FakeDrive DriveOfClusters(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector, std::uint32_t total,
                          std::uint32_t free) {
  FakeDrive drive;
  drive.clusters.sectorsPerCluster = sectorsPerCluster;
  drive.clusters.bytesPerSector = bytesPerSector;
  drive.clusters.totalClusters = total;
  drive.clusters.freeClusters = free;
  return drive;
}

std::string Shown(Text text) { return text == nullptr ? "(null)" : text; }

using DiskQueryTest = ShellTest;

TEST_F(DiskQueryTest, OnlyALeadingAsciiLetterNamesADrive) {
  fake_.workingDirectory = L"D:\\work";
  fake_.AddDrive('C', DriveOfBytes(100 * kKiB, 10 * kKiB, 0));
  fake_.AddDrive('D', DriveOfBytes(200 * kKiB, 20 * kKiB, 0));
  fake_.AddDrive('Z', DriveOfBytes(300 * kKiB, 30 * kKiB, 0));
  struct Case {
    Text drive;
    char letter;
  } cases[] = {
      {nullptr, 'D'}, {"", 'D'},           {"c", 'C'},   {"C", 'C'},         {"C:", 'C'},
      {"c:", 'C'},    {"C:\\path\\x", 'C'}, {"z", 'Z'},   {"d:\\data", 'D'},  {"1", 'D'},
      {" C", 'D'},    {"\xCD\xA3", 'D'},   {"@", 'D'},   {"[", 'D'},         {"`", 'D'},
      {"{", 'D'},     {"Q", 'Q'},
  };
  const std::map<char, std::int64_t> totals = {{'C', 100}, {'D', 200}, {'Z', 300}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Shown(c.drive));
    EXPECT_EQ(DriveLetterOf(c.drive), c.letter);
    std::int64_t total = totals.count(c.letter) != 0 ? totals.at(c.letter) : -1;
    EXPECT_EQ(QueryDiskSpace(c.drive, DiskFigure::Total), total);
    EXPECT_EQ(DiskTotalSpace(c.drive), total);
    EXPECT_EQ(DiskFreeSpace(c.drive), total == -1 ? -1 : total / 10);
  }
}

TEST_F(DiskQueryTest, WithoutADriveInTheWorkingDirectoryTheCurrentDriveIsAtSignAndItsQueryFails) {
  fake_.AddDrive('C', DriveOfBytes(100 * kKiB, 10 * kKiB, 0));
  struct Case {
    const wchar_t* directory;
    bool callFails;
    char letter;
  } cases[] = {
      {L"C:\\Program Files\\Disk", false, 'C'},
      {L"c:\\", false, 'C'},
      {L"\\\\server\\share\\Disk", false, '@'},
      {L"C", false, '@'},
      {L"C:\\", true, '@'},
  };
  for (const Case& c : cases) {
    fake_.workingDirectory = c.directory;
    fake_.workingDirectoryFails = c.callFails;
    SCOPED_TRACE(testing::Message() << c.letter << (c.callFails ? " (call fails)" : ""));
    EXPECT_EQ(CurrentDriveLetter(), c.letter);
    EXPECT_EQ(DriveLetterOf(""), c.letter);
    EXPECT_EQ(DiskTotalSpace(""), c.letter == 'C' ? 100 : -1);
    EXPECT_EQ(DiskFreeSpace(""), c.letter == 'C' ? 10 : -1);
  }
}

TEST_F(DiskQueryTest, ExtendedQueryGivesTheTrueKibibyteCountCutDown) {
  struct Case {
    std::uint64_t bytes;
    std::int64_t kibibytes;
  } cases[] = {
      {0, 0},
      {1023, 0},
      {1535, 1},
      {500000000000, 488281250},
      {2 * kTiB - kKiB, 2147483647},
      {2 * kTiB, 2147483648},
      {3000000000000, 2929687500},
      {4 * kTiB - kKiB, 4294967295},
      {4 * kTiB, 4294967296},
      {5 * kTiB, 5368709120},
      {8000000000000, 7812500000},
      {std::numeric_limits<std::uint64_t>::max(), (std::int64_t{1} << 54) - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    fake_.AddDrive('C', DriveOfBytes(c.bytes, c.bytes, 0));
    EXPECT_EQ(DiskTotalSpace("C"), c.kibibytes);
    EXPECT_EQ(DiskFreeSpace("C"), c.kibibytes);
  }
}

TEST_F(DiskQueryTest, TotalIsTheVolumeSizeAndFreeIsWhatTheCallerMayUse) {
  fake_.AddDrive('C', DriveOfBytes(300 * kKiB, 100 * kKiB, 200 * kKiB));
  fake_.AddDrive('D', DriveOfClusters(2, 512, 3000, 1000));
  EXPECT_EQ(DiskTotalSpace("C"), 300);
  EXPECT_EQ(DiskFreeSpace("C"), 100);
  fake_.extendedQueryAvailable = false;
  EXPECT_EQ(DiskTotalSpace("D"), 3000);
  EXPECT_EQ(DiskFreeSpace("D"), 1000);
}

TEST_F(DiskQueryTest, ClusterQueryRoundsToTheNearestKibibyteIn64Bits) {
  fake_.extendedQueryAvailable = false;
  struct Case {
    std::uint32_t sectorsPerCluster;
    std::uint32_t bytesPerSector;
    std::uint32_t clusters;
    std::int64_t kibibytes;
  } cases[] = {
      {1, 512, 3, 2},  // 1.5 rounds away from zero
      {1, 512, 1, 1},
      {1, 511, 1, 0},
      {1, 1023, 1, 1},  // the extended query would cut this down to 0
      {1, 1535, 1, 1},
      {1, 1536, 1, 2},
      {65536, 65536, 1, 4194304},  // the cluster size alone exceeds 32 bits
      {4, 512, 244140625, 488281250},
      {2, 512, 2147483647, 2147483647},
      {8, 512, 536870912, 2147483648},
      {8, 512, 732421875, 2929687500},
      {2, 512, kAllOnes, 4294967295},
      {8, 512, 1073741824, 4294967296},
      {8, 512, 1342177280, 5368709120},
      {64, 512, 244140625, 7812500000},
      {128, 512, kAllOnes, 274877906880},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sectorsPerCluster << " x " << c.bytesPerSector << " x " << c.clusters);
    fake_.AddDrive('C', DriveOfClusters(c.sectorsPerCluster, c.bytesPerSector, c.clusters, c.clusters));
    EXPECT_EQ(DiskTotalSpace("C"), c.kibibytes);
    EXPECT_EQ(DiskFreeSpace("C"), c.kibibytes);
  }
}

TEST_F(DiskQueryTest, ClusterProductsBeyond64BitsFailInsteadOfWrapping) {
  struct Case {
    std::uint32_t sectorsPerCluster;
    std::uint32_t bytesPerSector;
    std::uint32_t clusters;
    std::int64_t kibibytes;
  } cases[] = {
      {0, 512, 100, 0},
      {1, 0, 100, 0},
      {1, 512, 0, 0},
      {kAllOnes, kAllOnes, 1, 18014398501093376},
      {42007935, 65537, 6700417, std::int64_t{1} << 54},  // 2^64 - 1 bytes: the rounding carries past 64 bits
      {2449472368, 5935168, 649657, std::numeric_limits<std::int64_t>::max()},  // exactly 1024 x (2^63 - 1)
      {2688507840, 524296, 6700417, -1},  // 2^73 - 512 bytes rounds up to 2^63 KiB
      {2147483648u, 2147483648u, 2048, -1},  // exactly 2^63 KiB
      {kAllOnes, kAllOnes, kAllOnes, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sectorsPerCluster << " x " << c.bytesPerSector << " x " << c.clusters);
    EXPECT_EQ(KibibytesOfClusters(c.sectorsPerCluster, c.bytesPerSector, c.clusters), c.kibibytes);
  }
}

TEST_F(DiskQueryTest, MissingDriveOrMediumFailsOnBothPaths) {
  FakeDrive empty = DriveOfBytes(100 * kKiB, 10 * kKiB, 0);
  empty.clusters = DriveOfClusters(1, 1024, 100, 10).clusters;
  empty.hasMedium = false;
  fake_.AddDrive('E', empty);
  for (bool extended : {true, false}) {
    fake_.extendedQueryAvailable = extended;
    for (Text drive : {"E", "Q"}) {
      SCOPED_TRACE(testing::Message() << drive << (extended ? " extended" : " clusters"));
      int queries = fake_.diskQueries;
      EXPECT_EQ(DiskTotalSpace(drive), -1);
      EXPECT_EQ(DiskFreeSpace(drive), -1);
      EXPECT_EQ(fake_.diskQueries - queries, 2);  // one query per call, no retry
    }
  }
  EXPECT_TRUE(fake_.errorBoxes.empty());
}

}  // namespace
