#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>
#include <vector>

#include "platform/icon_directory.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t U16(const Bytes& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

std::uint32_t U32(const Bytes& bytes, std::size_t at) {
  return U16(bytes, at) | U16(bytes, at + 2) << 16;
}

// One ICONDIRENTRY of an .ico file.
struct IcoEntry {
  int width;
  int height;
  int colorCount;
  int reserved;
  int planes;
  int bitCount;
  std::uint32_t bytesInRes;
  std::uint32_t imageOffset;
};

constexpr std::size_t kIcoHeaderSize = 6;
constexpr std::size_t kIcoEntrySize = 16;

// The directory of a whole .ico file; fails the test when the header is not
// an icon's or the entries run past the end.
std::vector<IcoEntry> ReadIcoDirectory(const Bytes& file) {
  std::vector<IcoEntry> entries;
  if (file.size() < kIcoHeaderSize) {
    ADD_FAILURE() << "no icon header";
    return entries;
  }
  EXPECT_EQ(U16(file, 0), 0u);
  EXPECT_EQ(U16(file, 2), 1u);
  const std::size_t count = U16(file, 4);
  if (file.size() < kIcoHeaderSize + count * kIcoEntrySize) {
    ADD_FAILURE() << "directory runs past the end";
    return entries;
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kIcoHeaderSize + i * kIcoEntrySize;
    entries.push_back({file[at] == 0 ? 256 : file[at], file[at + 1] == 0 ? 256 : file[at + 1],
                       file[at + 2], file[at + 3], static_cast<int>(U16(file, at + 4)),
                       static_cast<int>(U16(file, at + 6)), U32(file, at + 8), U32(file, at + 12)});
  }
  return entries;
}

Bytes ReadAppIco() {
  std::ifstream in(DSQ_SOURCE_DIR "/resources/app.ico", std::ios::binary);
  EXPECT_TRUE(in) << "resources/app.ico is missing";
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An RT_GROUP_ICON resource as windres makes from an .ico: the same entries,
// each image's file offset replaced by its resource id.
struct GroupEntry {
  int width;
  int height;
  int colorCount;
  int bitCount;
  std::uint32_t bytesInRes;
  int id;
};

void Put16(Bytes& bytes, std::uint32_t value) {
  bytes.push_back(static_cast<unsigned char>(value & 0xFF));
  bytes.push_back(static_cast<unsigned char>(value >> 8 & 0xFF));
}

Bytes GroupDirectory(const std::vector<GroupEntry>& entries) {
  Bytes bytes;
  Put16(bytes, 0);
  Put16(bytes, 1);
  Put16(bytes, static_cast<std::uint32_t>(entries.size()));
  for (const GroupEntry& entry : entries) {
    bytes.push_back(static_cast<unsigned char>(entry.width & 0xFF));
    bytes.push_back(static_cast<unsigned char>(entry.height & 0xFF));
    bytes.push_back(static_cast<unsigned char>(entry.colorCount));
    bytes.push_back(0);
    Put16(bytes, 1);
    Put16(bytes, static_cast<std::uint32_t>(entry.bitCount));
    Put16(bytes, entry.bytesInRes & 0xFFFF);
    Put16(bytes, entry.bytesInRes >> 16);
    Put16(bytes, static_cast<std::uint32_t>(entry.id));
  }
  return bytes;
}

Bytes GroupDirectoryOfAppIco() {
  std::vector<GroupEntry> entries;
  int id = 1;
  for (const IcoEntry& entry : ReadIcoDirectory(ReadAppIco())) {
    entries.push_back(
        {entry.width, entry.height, entry.colorCount, entry.bitCount, entry.bytesInRes, id++});
  }
  return GroupDirectory(entries);
}

int Lookup(const Bytes& group, int width, int height, int bitCount) {
  return IconResourceId(group.data(), group.size(), width, height, bitCount);
}

TEST(AppIcoTest, HoldsExactlyTheFourClassicFormats) {
  std::multiset<std::tuple<int, int, int, int, int, int>> formats;
  for (const IcoEntry& entry : ReadIcoDirectory(ReadAppIco())) {
    formats.insert({entry.width, entry.height, entry.bitCount, entry.colorCount, entry.planes,
                    entry.reserved});
  }
  const std::multiset<std::tuple<int, int, int, int, int, int>> expected = {
      {16, 16, 4, 16, 1, 0},
      {16, 16, 8, 0, 1, 0},
      {32, 32, 4, 16, 1, 0},
      {32, 32, 8, 0, 1, 0},
  };
  EXPECT_EQ(formats, expected);
}

TEST(AppIcoTest, EveryImageIsAWellFormedBitmapMatchingItsEntry) {
  const Bytes file = ReadAppIco();
  const std::vector<IcoEntry> entries = ReadIcoDirectory(file);
  ASSERT_FALSE(entries.empty());
  const std::size_t directoryEnd = kIcoHeaderSize + entries.size() * kIcoEntrySize;
  const std::set<std::uint32_t> vga = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
  };
  std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;

  for (const IcoEntry& entry : entries) {
    SCOPED_TRACE(::testing::Message() << entry.width << "x" << entry.height << "x" << entry.bitCount);
    ASSERT_GE(entry.imageOffset, directoryEnd);
    ASSERT_LE(entry.bytesInRes, file.size() - entry.imageOffset);
    spans.emplace_back(entry.imageOffset, entry.imageOffset + entry.bytesInRes);

    const std::size_t at = entry.imageOffset;
    ASSERT_GE(entry.bytesInRes, 40u);
    EXPECT_EQ(U32(file, at), 40u);                                  // biSize
    EXPECT_EQ(U32(file, at + 4), std::uint32_t(entry.width));       // biWidth
    EXPECT_EQ(U32(file, at + 8), std::uint32_t(2 * entry.height));  // biHeight: XOR and AND
    EXPECT_EQ(U16(file, at + 12), 1u);                              // biPlanes
    EXPECT_EQ(U16(file, at + 14), std::uint32_t(entry.bitCount));   // biBitCount
    EXPECT_EQ(U32(file, at + 16), 0u);                              // biCompression: BI_RGB

    const std::uint32_t clrUsed = U32(file, at + 32);
    const std::size_t colours = clrUsed != 0 ? clrUsed : std::size_t{1} << entry.bitCount;
    if (entry.colorCount != 0) {
      EXPECT_EQ(colours, std::size_t(entry.colorCount));
    }
    const std::size_t w = static_cast<std::size_t>(entry.width);
    const std::size_t h = static_cast<std::size_t>(entry.height);
    const std::size_t xorStride = (w * static_cast<std::size_t>(entry.bitCount) + 31) / 32 * 4;
    const std::size_t andStride = (w + 31) / 32 * 4;
    const std::size_t palette = at + 40;
    const std::size_t xorBits = palette + 4 * colours;
    const std::size_t andBits = xorBits + xorStride * h;
    ASSERT_EQ(entry.bytesInRes, andBits + andStride * h - at);

    auto rgb = [&](std::size_t index) {
      const std::size_t quad = palette + 4 * index;  // blue, green, red, 0
      return std::uint32_t(file[quad + 2]) << 16 | std::uint32_t(file[quad + 1]) << 8 | file[quad];
    };
    if (entry.bitCount == 4) {
      for (std::size_t i = 0; i < colours; ++i) EXPECT_EQ(vga.count(rgb(i)), 1u) << "colour " << i;
    }

    // A clear pixel must draw black, or it would tint the screen behind it;
    // and some pixels must be opaque, or there is no picture.
    std::size_t opaque = 0;
    for (std::size_t y = 0; y < h; ++y) {
      for (std::size_t x = 0; x < w; ++x) {
        const bool clear = (file[andBits + y * andStride + x / 8] >> (7 - x % 8) & 1) != 0;
        const std::size_t bit = x * static_cast<std::size_t>(entry.bitCount);
        const unsigned byte = file[xorBits + y * xorStride + bit / 8];
        const std::size_t index =
            entry.bitCount == 8 ? byte : (bit % 8 == 0 ? byte >> 4 : byte & 0x0F);
        if (clear) {
          EXPECT_EQ(rgb(index), 0u) << "pixel " << x << "," << y;
        } else {
          ++opaque;
        }
      }
    }
    EXPECT_GT(opaque, w * h / 4);
  }

  std::sort(spans.begin(), spans.end());
  for (std::size_t i = 1; i < spans.size(); ++i) {
    EXPECT_LE(spans[i - 1].second, spans[i].first) << "images overlap";
  }
}

TEST(IconResourceIdTest, FindsEachFormatOfTheAppIconByExactMatch) {
  const Bytes group = GroupDirectoryOfAppIco();
  const std::vector<IcoEntry> entries = ReadIcoDirectory(ReadAppIco());
  auto idOf = [&](int size, int bitCount) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].width == size && entries[i].bitCount == bitCount) return static_cast<int>(i) + 1;
    }
    return 0;
  };
  struct Case {
    int width;
    int height;
    int bitCount;
    int expected;
  } cases[] = {
      {32, 32, 4, idOf(32, 4)},
      {16, 16, 4, idOf(16, 4)},
      {32, 32, 8, idOf(32, 8)},
      {16, 16, 8, idOf(16, 8)},
      {48, 48, 4, -1},
      {32, 32, 32, -1},
      {32, 32, 1, -1},
      {16, 32, 4, -1},
      {32, 16, 4, -1},
      {0, 0, 4, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Lookup(group, c.width, c.height, c.bitCount), c.expected)
        << c.width << "x" << c.height << "x" << c.bitCount;
  }
}

TEST(IconResourceIdTest, ZeroSizeInAnEntryMeans256) {
  const Bytes group = GroupDirectory({{0, 0, 0, 32, 1000, 7}, {48, 48, 0, 32, 1000, 9}});
  EXPECT_EQ(Lookup(group, 256, 256, 32), 7);
  EXPECT_EQ(Lookup(group, 48, 48, 32), 9);
  EXPECT_EQ(Lookup(group, 0, 0, 32), -1);
}

TEST(IconResourceIdTest, RejectsTruncatedAndMalformedDirectories) {
  const Bytes whole = GroupDirectoryOfAppIco();
  ASSERT_EQ(Lookup(whole, 16, 16, 4), 1);  // the first entry, present in every cut below
  auto withByte = [&](std::size_t at, unsigned char value) {
    Bytes bytes = whole;
    bytes[at] = value;
    return bytes;
  };
  struct Case {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"empty", {}},
      {"half a header", Bytes(whole.begin(), whole.begin() + 5)},
      {"header only, four entries announced", Bytes(whole.begin(), whole.begin() + 6)},
      {"last entry one byte short", Bytes(whole.begin(), whole.end() - 1)},
      {"reserved word set", withByte(0, 1)},
      {"cursor group", withByte(2, 2)},
      {"more entries announced than present", withByte(4, 5)},
      {"no entries", Bytes{0, 0, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Lookup(c.bytes, 16, 16, 4), -1) << c.what;
  }
  EXPECT_EQ(IconResourceId(nullptr, whole.size(), 16, 16, 4), -1);
}

}  // namespace
