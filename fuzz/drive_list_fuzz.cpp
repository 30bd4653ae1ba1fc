// SplitDriveStrings and BuildDriveList over arbitrary drive lists, against a
// model of the listing: roots up to the first empty string or the end of the
// buffer, one kind query per root (its upper-cased letter, ':' and '\'), a
// label query for each listed fixed disk only, and items in the roots' order.
//
// Input: one byte giving the length of the drive-strings buffer, the buffer
// (zero bytes end the roots), one byte per root whose low 3 bits are the kind
// the system reports for it (0 to 7, 7 being a kind the program does not
// know), then the volume labels, separated by zero bytes, handed out in the
// order they are asked for.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "controls/drive_list.h"
#include "fuzz_support.h"

namespace {

// Answers the drive queries from the fuzz input and records them.
class FuzzDrivePlatform : public FakePlatform {
 public:
  std::string driveStrings;
  std::vector<unsigned> kinds;       // by the order of the kind queries
  std::vector<std::string> labels;   // by the order of the label queries
  int listings = 0;
  std::vector<std::string> kindQueries;
  std::vector<std::string> labelQueries;

  std::string LogicalDriveStrings() override {
    ++listings;
    return driveStrings;
  }
  unsigned DriveType(const char* root) override {
    kindQueries.emplace_back(root);
    std::size_t index = kindQueries.size() - 1;
    return index < kinds.size() ? kinds[index] : win32::kDriveNoRootDir;
  }
  std::string VolumeLabel(const char* root) override {
    labelQueries.emplace_back(root);
    std::size_t index = labelQueries.size() - 1;
    return index < labels.size() ? labels[index] : std::string();
  }
};

std::vector<std::string> ModelRoots(const std::string& buffer) {
  std::vector<std::string> roots;
  std::string current;
  for (std::size_t i = 0; i < buffer.size(); ++i) {
    if (buffer[i] != '\0') {
      current += buffer[i];
    } else if (current.empty()) {
      return roots;  // an empty string ends the list
    } else {
      roots.push_back(current);
      current.clear();
    }
  }
  if (!current.empty()) roots.push_back(current);  // the buffer ended inside a root
  return roots;
}

std::string Listed(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& text : texts) out += "\"" + Escaped(text) + "\" ";
  return out;
}

char ModelUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool ModelAccepts(std::int32_t driveType, unsigned kind) {
  // driveType 1..5 -> removable, fixed, optical, network, RAM disk.
  static const unsigned kOnlyKind[] = {0, 2, 3, 5, 4, 6};
  if (driveType == 0) return true;
  if (driveType < 0 || driveType > 5) return false;
  return kind == kOnlyKind[driveType];
}

std::string ModelSuffix(unsigned kind) {
  const std::string open = " \xA3\xA8";  // blank and full-width "("
  const std::string close = "\xA3\xA9";  // full-width ")"
  switch (kind) {
    case 3: return open + "\xD3\xB2\xC5\xCC" + close;                              // hard disk
    case 4: return open + "\xCD\xF8\xC2\xE7\xC7\xFD\xB6\xAF\xC6\xF7" + close;      // network drive
    case 5: return open + "\xB9\xE2\xC7\xFD" + close;                              // optical drive
    case 6: return open + "\xC4\xDA\xB4\xE6\xD0\xE9\xC4\xE2\xC7\xFD\xB6\xAF\xC6\xF7" + close;  // RAM disk
    default: return std::string();
  }
}

void CheckList(FuzzDrivePlatform& platform, const std::vector<std::string>& roots, std::int32_t driveType) {
  platform.listings = 0;
  platform.kindQueries.clear();
  platform.labelQueries.clear();
  std::vector<DriveItem> items = BuildDriveList(driveType);

  std::vector<DriveItem> expected;
  std::vector<std::string> expectedKindQueries;
  std::vector<std::string> expectedLabelQueries;
  for (std::size_t i = 0; i < roots.size(); ++i) {
    char letter = ModelUpper(roots[i][0]);
    expectedKindQueries.push_back(std::string{letter, ':', '\\'});
    unsigned kind = i < platform.kinds.size() ? platform.kinds[i] : win32::kDriveNoRootDir;
    if (!ModelAccepts(driveType, kind)) continue;
    std::string text = std::string{letter, ':'} + ModelSuffix(kind);
    if (kind == win32::kDriveFixed) {
      std::size_t asked = expectedLabelQueries.size();
      expectedLabelQueries.push_back(roots[i]);
      std::string label = asked < platform.labels.size() ? platform.labels[asked] : std::string();
      if (!label.empty()) text += " " + label;
    }
    expected.push_back(DriveItem{text, letter});
  }

  FUZZ_CHECK(platform.listings == 1, "driveType %d: %d drive listings", driveType, platform.listings);
  FUZZ_CHECK(platform.kindQueries == expectedKindQueries, "driveType %d: kind queries %s, expected %s", driveType,
             Listed(platform.kindQueries).c_str(), Listed(expectedKindQueries).c_str());
  FUZZ_CHECK(platform.labelQueries == expectedLabelQueries, "driveType %d: label queries %s, expected %s", driveType,
             Listed(platform.labelQueries).c_str(), Listed(expectedLabelQueries).c_str());
  FUZZ_CHECK(items.size() == expected.size(), "driveType %d: %zu items, expected %zu", driveType, items.size(),
             expected.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    const DriveItem& item = items[i];
    FUZZ_CHECK(item.text.size() >= 2 && item.text[0] == item.letter && item.text[1] == ':',
               "driveType %d: item %zu \"%s\" does not start with its letter", driveType, i,
               Escaped(item.text).c_str());
    FUZZ_CHECK(item.letter == expected[i].letter && item.text == expected[i].text,
               "driveType %d: item %zu is '%s' \"%s\", expected '%s' \"%s\"", driveType, i,
               Escaped(std::string(1, item.letter)).c_str(), Escaped(item.text).c_str(),
               Escaped(std::string(1, expected[i].letter)).c_str(), Escaped(expected[i].text).c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzPlatform<FuzzDrivePlatform>();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzDrivePlatform& platform = FuzzPlatform<FuzzDrivePlatform>();
  std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t at = 0;
  std::size_t length = input.empty() ? 0 : static_cast<unsigned char>(input[at++]);
  if (length > input.size() - at) length = input.size() - at;
  platform.driveStrings = input.substr(at, length);
  at += length;

  const std::vector<std::string> roots = ModelRoots(platform.driveStrings);
  platform.kinds.clear();
  for (std::size_t i = 0; i < roots.size() && at < input.size(); ++i) {
    platform.kinds.push_back(static_cast<unsigned char>(input[at++]) & 7u);
  }
  platform.labels.clear();
  while (at < input.size()) {
    std::size_t end = input.find('\0', at);
    if (end == std::string::npos) end = input.size();
    platform.labels.push_back(input.substr(at, end - at));
    at = end + 1;
  }

  Guarded([&] {
    const long liveBefore = platform.liveAllocations;
    std::vector<std::string> split = SplitDriveStrings(platform.driveStrings);
    FUZZ_CHECK(split == roots, "SplitDriveStrings(\"%s\") gave %s, expected %s",
               Escaped(platform.driveStrings).c_str(), Listed(split).c_str(), Listed(roots).c_str());
    for (std::int32_t driveType = -1; driveType <= 6; ++driveType) CheckList(platform, roots, driveType);
    CheckList(platform, roots, std::numeric_limits<std::int32_t>::min());
    CheckList(platform, roots, std::numeric_limits<std::int32_t>::max());
    FUZZ_CHECK(platform.liveAllocations == liveBefore, "%ld texts left", platform.liveAllocations - liveBefore);
  });
  return 0;
}
