#include "platform/icon_directory.h"

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 14;

// Little-endian, byte by byte: resource data has no alignment guarantee.
unsigned ReadU16(const unsigned char* bytes) {
  return static_cast<unsigned>(bytes[0]) | static_cast<unsigned>(bytes[1]) << 8;
}

int Dimension(unsigned char stored) { return stored == 0 ? 256 : stored; }

}  // namespace

int IconResourceId(const unsigned char* groupDirectory, std::size_t size, int width, int height,
                   int bitCount) {
  if (groupDirectory == nullptr || size < kHeaderSize) return -1;
  if (ReadU16(groupDirectory) != 0 || ReadU16(groupDirectory + 2) != 1) return -1;
  const std::size_t count = ReadU16(groupDirectory + 4);
  // A count the data cannot hold means the directory is cut short or corrupt.
  if (count > (size - kHeaderSize) / kEntrySize) return -1;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* entry = groupDirectory + kHeaderSize + i * kEntrySize;
    if (Dimension(entry[0]) == width && Dimension(entry[1]) == height &&
        static_cast<int>(ReadU16(entry + 6)) == bitCount) {
      return static_cast<int>(ReadU16(entry + 12));
    }
  }
  return -1;
}
