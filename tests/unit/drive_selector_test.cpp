#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <ostream>
#include <string>
#include <vector>

#include "controls/drive_list.h"
#include "controls/driver_box.h"
#include "platform/current_drive.h"
#include "shell/property_access.h"
#include "test_support.h"

namespace {

constexpr std::int32_t kCurrentDrive = 8;
constexpr std::int32_t kDriveType = 9;
constexpr std::int32_t kTextColour = 10;
constexpr std::int32_t kBackColour = 11;
constexpr std::int32_t kFont = 12;

// Item suffixes: a blank, then the kind in full-width parentheses.
const std::string kFixed = " \xA3\xA8\xD3\xB2\xC5\xCC\xA3\xA9";                                 //  （硬盘）
const std::string kOptical = " \xA3\xA8\xB9\xE2\xC7\xFD\xA3\xA9";                               //  （光驱）
const std::string kNetwork = " \xA3\xA8\xCD\xF8\xC2\xE7\xC7\xFD\xB6\xAF\xC6\xF7\xA3\xA9";       //  （网络驱动器）
const std::string kRamDisk = " \xA3\xA8\xC4\xDA\xB4\xE6\xD0\xE9\xC4\xE2\xC7\xFD\xB6\xAF\xC6\xF7\xA3\xA9";  //  （内存虚拟驱动器）

FakeDrive DriveOfKind(unsigned kind, const std::string& label = "", bool hasMedium = true) {
  FakeDrive drive;
  drive.kind = kind;
  drive.label = label;
  drive.hasMedium = hasMedium;
  return drive;
}

class DriveSelectorTest : public ShellTest {
 protected:
  DriverBox& Box(ControlNumber box) {
    return static_cast<DriverBox&>(*shell_.FindControlRecord(*shell_.FindWindowRecord(kMainWindowNumber), box)->component);
  }
  FakeWindow& Combo(ControlNumber box) { return fake_.Window(ControlWindow(box)); }

  std::string ReadCurrentDrive(ControlNumber box) {
    Text text = TextFromSlot(ReadProperty(kMainWindowNumber, box, kCurrentDrive, kWholeValue));
    std::string read = text != nullptr ? text : "(null)";
    ReleaseText(text);
    return read;
  }
  std::int32_t ReadInteger(ControlNumber box, std::int32_t property) {
    return IntegerFromSlot(ReadProperty(kMainWindowNumber, box, property, kWholeValue));
  }
  void Write(ControlNumber box, std::int32_t property, PropertySlot value) {
    WriteProperty(kMainWindowNumber, box, property, kWholeValue, value);
  }

  std::vector<std::string> VolumeLabelCalls() const {
    std::vector<std::string> asked;
    for (const std::string& call : fake_.calls) {
      if (call.rfind("VolumeLabel", 0) == 0) asked.push_back(call);
    }
    return asked;
  }
};

std::vector<std::string> TextsOf(const FakeWindow& combo) {
  std::vector<std::string> texts;
  for (const FakeComboItem& item : combo.items) texts.push_back(item.text);
  return texts;
}

std::string LettersOf(const FakeWindow& combo) {
  std::string letters;
  for (const FakeComboItem& item : combo.items) letters += static_cast<char>(item.data);
  return letters;
}

TEST_F(DriveSelectorTest, ItemsNameEachKindInTheSystemsOrderAndOnlyFixedDisksAreAskedForALabel) {
  fake_.AddDrive('C', DriveOfKind(win32::kDriveFixed, "SYSTEM"));
  fake_.AddDrive('D', DriveOfKind(win32::kDriveFixed));
  fake_.AddDrive('E', DriveOfKind(win32::kDriveRemovable, "STICK"));
  fake_.AddDrive('F', DriveOfKind(win32::kDriveCdrom, "DISC"));
  fake_.AddDrive('G', DriveOfKind(win32::kDriveFixed, "GONE", false));  // its label query fails
  fake_.AddDrive('N', DriveOfKind(win32::kDriveNoRootDir, "N"));
  fake_.AddDrive('R', DriveOfKind(win32::kDriveRamdisk, "RAM"));
  fake_.AddDrive('U', DriveOfKind(win32::kDriveUnknown, "U"));
  fake_.AddDrive('Y', DriveOfKind(win32::kDriveFixed, "\xCF\xB5\xCD\xB3"));  // 系统
  fake_.AddDrive('Z', DriveOfKind(win32::kDriveRemote, "SHARE"));
  fake_.driveStringsOverride = std::string("Z:\\\0Y:\\\0C:\\\0D:\\\0E:\\\0F:\\\0G:\\\0N:\\\0R:\\\0U:\\\0\0", 41);
  LoadMainWindow();

  EXPECT_EQ(TextsOf(Combo(kAllDrivesBoxNumber)),
            (std::vector<std::string>{"Z:" + kNetwork, "Y:" + kFixed + " \xCF\xB5\xCD\xB3", "C:" + kFixed + " SYSTEM",
                                      "D:" + kFixed, "E:", "F:" + kOptical, "G:" + kFixed, "N:", "R:" + kRamDisk,
                                      "U:"}));
  EXPECT_EQ(LettersOf(Combo(kAllDrivesBoxNumber)), "ZYCDEFGNRU");
  EXPECT_EQ(VolumeLabelCalls(), (std::vector<std::string>{"VolumeLabel Y:\\", "VolumeLabel C:\\",
                                                          "VolumeLabel D:\\", "VolumeLabel G:\\"}));
  EXPECT_EQ(TextsOf(Combo(kUsbDriveBoxNumber)), std::vector<std::string>{"E:"});
}

TEST_F(DriveSelectorTest, DriveTypeIsClampedAndEveryWriteRefillsTheList) {
  fake_.AddDrive('C', DriveOfKind(win32::kDriveFixed));
  fake_.AddDrive('E', DriveOfKind(win32::kDriveRemovable));
  fake_.AddDrive('F', DriveOfKind(win32::kDriveCdrom));
  fake_.AddDrive('N', DriveOfKind(win32::kDriveNoRootDir));
  fake_.AddDrive('R', DriveOfKind(win32::kDriveRamdisk));
  fake_.AddDrive('U', DriveOfKind(win32::kDriveUnknown));
  fake_.AddDrive('Z', DriveOfKind(win32::kDriveRemote));
  LoadMainWindow();
  struct Case {
    std::int32_t written;
    std::int32_t stored;
    const char* letters;
  } cases[] = {
      {1, 1, "E"},       {2, 2, "C"},       {3, 3, "F"}, {4, 4, "Z"},
      {5, 5, "R"},       {0, 0, "CEFNRUZ"}, {9, 5, "R"}, {-3, 0, "CEFNRUZ"},
      {6, 5, "R"},       {-2147483647 - 1, 0, "CEFNRUZ"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    Write(kAllDrivesBoxNumber, kDriveType, SlotFromInteger(c.written));
    EXPECT_EQ(ReadInteger(kAllDrivesBoxNumber, kDriveType), c.stored);
    EXPECT_EQ(LettersOf(Combo(kAllDrivesBoxNumber)), c.letters);
  }

  // Drives that come or go show only when the list is filled again, even by the same value.
  fake_.AddDrive('H', DriveOfKind(win32::kDriveFixed));
  fake_.drives.erase('C');
  EXPECT_EQ(LettersOf(Combo(kAllDrivesBoxNumber)), "CEFNRUZ");
  EXPECT_EQ(ReadCurrentDrive(kAllDrivesBoxNumber), "C");
  Write(kAllDrivesBoxNumber, kDriveType, SlotFromInteger(0));
  EXPECT_EQ(LettersOf(Combo(kAllDrivesBoxNumber)), "EFHNRUZ");
  EXPECT_EQ(Combo(kAllDrivesBoxNumber).selection, -1);
  EXPECT_EQ(Box(kAllDrivesBoxNumber).storedLetter(), 0);
  EXPECT_EQ(ReadCurrentDrive(kAllDrivesBoxNumber), "C");  // the current drive, though no longer listed
}

TEST_F(DriveSelectorTest, CreationSelectsTheStoredOrCurrentDriveWhenListed) {
  fake_.AddDrive('C', DriveOfKind(win32::kDriveFixed));
  fake_.AddDrive('D', DriveOfKind(win32::kDriveFixed));
  fake_.AddDrive('E', DriveOfKind(win32::kDriveRemovable));
  struct Case {
    char storedLetter;
    std::int32_t driveType;
    const wchar_t* directory;
    const char* letters;
    int selection;
    char stored;
    const char* reads;
  } cases[] = {
      {0, 0, L"C:\\Disk", "CDE", 0, 'C', "C"},
      {'D', 0, L"C:\\Disk", "CDE", 1, 'D', "D"},
      {'Q', 0, L"C:\\Disk", "CDE", -1, 0, "C"},
      {'d', 0, L"C:\\Disk", "CDE", -1, 0, "C"},  // settings are taken as stored, without upper-casing
      {0, 0, L"\\\\server\\share", "CDE", -1, 0, "@"},
      {0, 1, L"C:\\Disk", "E", -1, 0, "C"},
      {0, 1, L"e:\\", "E", 0, 'E', "E"},
      {'E', 1, L"C:\\Disk", "E", 0, 'E', "E"},
      {0, 7, L"C:\\Disk", "", -1, 0, "C"},  // an out-of-range type from settings lists nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "stored " << static_cast<int>(c.storedLetter) << ", type " << c.driveType);
    fake_.workingDirectory = c.directory;
    DriverBoxSettings settings;
    settings.storedLetter = c.storedLetter;
    settings.driveType = c.driveType;
    DriverBox box(settings);
    ControlPlacement placement;
    placement.rect = Rect{0, 0, 88, 24};
    ASSERT_TRUE(box.Create(placement));
    EXPECT_EQ(LettersOf(fake_.Window(box.Handle())), c.letters);
    EXPECT_EQ(fake_.Window(box.Handle()).selection, c.selection);
    EXPECT_EQ(box.storedLetter(), c.stored);
    EXPECT_EQ(PointerFromSlot(box.Read(kDriverBoxCurrentDrive)), std::string(c.reads));
    EXPECT_EQ(IntegerFromSlot(box.Read(kDriverBoxDriveType)), c.driveType);
    EXPECT_EQ(fake_.Window(box.Handle()).rect.Height(), 80);  // the field with its open list
    fake_.DestroyWindow(box.Handle());
  }
}

TEST_F(DriveSelectorTest, WritingCurrentDriveSelectsByTheFirstByte) {
  fake_.AddDrive('C', DriveOfKind(win32::kDriveFixed));
  fake_.AddDrive('D', DriveOfKind(win32::kDriveFixed));
  fake_.AddDrive('E', DriveOfKind(win32::kDriveRemovable));
  LoadMainWindow();
  struct Case {
    Text written;
    const wchar_t* directory;
    int selection;
    char stored;
    const char* reads;
  } cases[] = {
      {"d:\\data", L"C:\\Disk", 1, 'D', "D"},
      {"", L"C:\\Disk", 0, 'C', "C"},
      {"e", L"C:\\Disk", 2, 'E', "E"},
      {nullptr, L"C:\\Disk", 0, 'C', "C"},
      {"Q", L"C:\\Disk", -1, 0, "C"},
      {"D", L"C:\\Disk", 1, 'D', "D"},
      {"1", L"C:\\Disk", -1, 0, "C"},
      {"", L"\\\\server\\share", -1, 0, "@"},
      {"E:", L"\\\\server\\share", 2, 'E', "E"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written != nullptr ? c.written : "(null)");
    fake_.workingDirectory = c.directory;
    Write(kAllDrivesBoxNumber, kCurrentDrive, SlotFromText(c.written));
    EXPECT_EQ(Combo(kAllDrivesBoxNumber).selection, c.selection);
    EXPECT_EQ(Box(kAllDrivesBoxNumber).storedLetter(), c.stored);
    EXPECT_EQ(ReadCurrentDrive(kAllDrivesBoxNumber), c.reads);
    EXPECT_EQ(LettersOf(Combo(kAllDrivesBoxNumber)), "CDE");  // a write never refills
  }
}

TEST_F(DriveSelectorTest, TheUsersConfirmationStoresTheSelectedDrive) {
  fake_.AddDrive('C', DriveOfKind(win32::kDriveFixed));
  fake_.AddDrive('D', DriveOfKind(win32::kDriveFixed));
  LoadMainWindow();
  WindowHandle combo = ControlWindow(kAllDrivesBoxNumber);

  fake_.ComboSelect(combo, 1);
  EXPECT_EQ(ReadCurrentDrive(kAllDrivesBoxNumber), "C");  // only confirming counts
  Box(kAllDrivesBoxNumber).OnNotify(win32::kComboSelEndOk);
  EXPECT_EQ(ReadCurrentDrive(kAllDrivesBoxNumber), "D");

  fake_.ComboSelect(combo, -1);
  Box(kAllDrivesBoxNumber).OnNotify(win32::kComboSelEndOk);
  EXPECT_EQ(Box(kAllDrivesBoxNumber).storedLetter(), 0);
  EXPECT_EQ(ReadCurrentDrive(kAllDrivesBoxNumber), "C");
  EXPECT_TRUE(fake_.errorBoxes.empty());
}

struct SelectorStartCase {
  const char* name;
  const wchar_t* modulePath;
  bool driveStringsFail;
  int allSelection;
  const char* allReads;
  const char* usbLetters;
  int usbSelection;
  const char* usbReads;
};

// By name: printed byte by byte, the padding after the flag would be read uninitialised.
void PrintTo(const SelectorStartCase& c, std::ostream* out) { *out << c.name; }

class SelectorStartTest : public DriveSelectorTest, public testing::WithParamInterface<SelectorStartCase> {};

TEST_P(SelectorStartTest, FollowTheDriveTheProgramStartedFrom) {
  const SelectorStartCase& c = GetParam();
  fake_.AddDrive('C', DriveOfKind(win32::kDriveFixed));
  fake_.AddDrive('D', DriveOfKind(win32::kDriveFixed));
  if (std::wcsncmp(c.modulePath, L"E:", 2) == 0) fake_.AddDrive('E', DriveOfKind(win32::kDriveRemovable));
  fake_.modulePath = c.modulePath;
  fake_.driveStringsFail = c.driveStringsFail;
  LoadMainWindow();

  EXPECT_EQ(Combo(kAllDrivesBoxNumber).selection, c.allSelection);
  EXPECT_EQ(ReadCurrentDrive(kAllDrivesBoxNumber), c.allReads);
  EXPECT_EQ(LettersOf(Combo(kUsbDriveBoxNumber)), c.usbLetters);
  EXPECT_EQ(Combo(kUsbDriveBoxNumber).selection, c.usbSelection);
  EXPECT_EQ(ReadCurrentDrive(kUsbDriveBoxNumber), c.usbReads);
  EXPECT_FALSE(Combo(kUsbDriveBoxNumber).visible);
  EXPECT_TRUE(Combo(kAllDrivesBoxNumber).visible);
}

INSTANTIATE_TEST_SUITE_P(
    DriveSelector, SelectorStartTest,
    testing::Values(
        SelectorStartCase{"FixedDrive", L"C:\\Program Files\\Disk\\DiskSpaceQuery.exe", false, 0, "C", "", -1, "C"},
        SelectorStartCase{"RemovableDrive", L"E:\\DiskSpaceQuery.exe", false, 2, "E", "E", 0, "E"},
        SelectorStartCase{"NetworkPath", L"\\\\server\\share\\DiskSpaceQuery.exe", false, -1, "@", "", -1, "@"},
        SelectorStartCase{"NoDriveListing", L"C:\\Disk\\DiskSpaceQuery.exe", true, -1, "C", "", -1, "C"}),
    [](const testing::TestParamInfo<SelectorStartCase>& info) { return std::string(info.param.name); });

TEST(DriveStringsTest, SplittingStopsAtTheFirstEmptyStringOrTheEndOfTheBuffer) {
  struct Case {
    std::string buffer;
    std::vector<std::string> roots;
  } cases[] = {
      {std::string("C:\\\0D:\\\0\0", 9), {"C:\\", "D:\\"}},
      {std::string("C:\\\0D:\\", 7), {"C:\\", "D:\\"}},
      {"C:\\", {"C:\\"}},
      {"", {}},
      {std::string("\0", 1), {}},
      {std::string("\0C:\\\0", 5), {}},
      {std::string("C:\\\0\0D:\\\0\0", 10), {"C:\\"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitDriveStrings(c.buffer), c.roots) << testing::PrintToString(c.buffer);
}

TEST_F(DriveSelectorTest, ColoursAnswerTheColourRequestAndABackColourWriteReplacesTheBrush) {
  fake_.AddDrive('C', DriveOfKind(win32::kDriveFixed));
  LoadMainWindow();
  DriverBox& box = Box(kAllDrivesBoxNumber);
  ColourAnswer answer;
  ASSERT_TRUE(box.OnColourRequest(answer));
  EXPECT_EQ(answer.text, 0x000000u);
  EXPECT_EQ(answer.background, 0xFFFFFFu);
  GdiHandle firstBrush = answer.brush;
  EXPECT_EQ(fake_.liveGdiObjects.count(firstBrush), 1u);

  std::size_t liveObjects = fake_.liveGdiObjects.size();
  int erasing = Combo(kAllDrivesBoxNumber).erasingInvalidations;
  Write(kAllDrivesBoxNumber, kTextColour, SlotFromInteger(0x0000FF));
  Write(kAllDrivesBoxNumber, kBackColour, SlotFromInteger(static_cast<std::int32_t>(0xFF000000)));
  EXPECT_EQ(Combo(kAllDrivesBoxNumber).erasingInvalidations, erasing + 2);
  EXPECT_EQ(ReadInteger(kAllDrivesBoxNumber, kTextColour), 0x0000FF);
  EXPECT_EQ(static_cast<std::uint32_t>(ReadInteger(kAllDrivesBoxNumber, kBackColour)), 0xFF000000u);

  ASSERT_TRUE(box.OnColourRequest(answer));
  EXPECT_EQ(answer.text, 0x0000FFu);
  EXPECT_EQ(answer.background, FakePlatform::kButtonFace);
  EXPECT_NE(answer.brush, firstBrush);
  EXPECT_EQ(fake_.liveGdiObjects.count(answer.brush), 1u);
  EXPECT_EQ(fake_.liveGdiObjects.count(firstBrush), 0u);
  EXPECT_EQ(fake_.liveGdiObjects.size(), liveObjects);

  Write(kAllDrivesBoxNumber, kBackColour, SlotFromInteger(0x123456));
  ASSERT_TRUE(box.OnColourRequest(answer));
  EXPECT_EQ(answer.background, 0x123456u);
  EXPECT_EQ(fake_.liveGdiObjects.size(), liveObjects);
  EXPECT_TRUE(fake_.gdiMistakes.empty());
}

TEST_F(DriveSelectorTest, BrushAndFontGoWithTheWindow) {
  fake_.AddDrive('C', DriveOfKind(win32::kDriveFixed));
  LoadMainWindow();
  WindowHandle combo = ControlWindow(kAllDrivesBoxNumber);
  EXPECT_EQ(fake_.Window(combo).font, FakePlatform::kStockGuiFont);

  char description[60] = {};
  std::memcpy(description + 28, "SimSun", 6);
  DataBlock font = DataBlock::FromBytes(description, sizeof description);
  Write(kAllDrivesBoxNumber, kFont, SlotFromPointer(font.Pointer()));
  GdiHandle firstFont = fake_.Window(combo).font;
  Write(kAllDrivesBoxNumber, kFont, SlotFromPointer(font.Pointer()));
  GdiHandle secondFont = fake_.Window(combo).font;
  EXPECT_EQ(fake_.liveGdiObjects.count(firstFont), 0u);
  EXPECT_EQ(fake_.liveGdiObjects.count(secondFont), 1u);

  ColourAnswer answer;
  Box(kAllDrivesBoxNumber).OnColourRequest(answer);
  fake_.DestroyWindow(fake_.TopLevelWindow());
  EXPECT_EQ(fake_.liveGdiObjects.count(answer.brush), 0u);
  EXPECT_EQ(fake_.liveGdiObjects.count(secondFont), 0u);
  EXPECT_TRUE(fake_.gdiMistakes.empty());
}

}  // namespace
