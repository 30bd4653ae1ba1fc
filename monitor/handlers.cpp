#include "monitor/handlers.h"

#include "controls/drive_list.h"
#include "monitor/constant_texts.h"
#include "monitor/disk_query.h"
#include "platform/platform.h"
#include "shell/property_access.h"

namespace {

constexpr std::int32_t kCaption = 8;        // a label's caption
constexpr std::int32_t kButtonCaption = 10;  // the button's caption
constexpr std::int32_t kCurrentDrive = 8;    // a drive selector's chosen drive
constexpr std::int32_t kPeriod = 8;          // the timer's period

void WriteCaption(ControlNumber label, Text caption) {
  WriteProperty(kMainWindowNumber, label, kCaption, kWholeValue, SlotFromText(caption));
}

}  // namespace

bool RemovableMediumPresent() {
  Platform& platform = ThePlatform();
  for (const std::string& root : SplitDriveStrings(platform.LogicalDriveStrings())) {
    const char rootPath[] = {UpperAscii(root[0]), ':', '\\', '\0'};
    if (platform.DriveType(rootPath) != win32::kDriveRemovable) continue;
    if (DiskTotalSpace(rootPath) != kQueryFailed) return true;
  }
  return false;
}

Text SizeReadOut(std::int64_t kibibytes, Text closing) {
  if (kibibytes == kQueryFailed) return kConstantTexts.queryFailed;
  OwnedText kilobytes(IntToText(kibibytes));
  OwnedText gibibytes(RealToText(DivideWhole(static_cast<double>(kibibytes), {1024, 1024})));
  return JoinTexts({kilobytes.Get(), kConstantTexts.kilobytes, gibibytes.Get(), closing});
}

void MonitorTick() {
  WriteCaption(kUsbIndicatorLabelNumber,
               RemovableMediumPresent() ? kConstantTexts.usbInserted : kConstantTexts.noUsbInserted);

  OwnedText drive(TextFromSlot(ReadProperty(kMainWindowNumber, kAllDrivesBoxNumber, kCurrentDrive, kWholeValue)));
  OwnedText total(SizeReadOut(DiskTotalSpace(drive.OrEmpty()), kConstantTexts.totalClosing));
  WriteCaption(kTotalSpaceLabelNumber, total.Get());
  OwnedText free(SizeReadOut(DiskFreeSpace(drive.OrEmpty()), kConstantTexts.freeClosing));
  WriteCaption(kFreeSpaceLabelNumber, free.Get());
}

void ToggleMonitoring() {
  OwnedText caption(
      TextFromSlot(ReadProperty(kMainWindowNumber, kMonitorButtonNumber, kButtonCaption, kWholeValue)));
  if (CompareText(caption.Get(), kConstantTexts.stopMonitoring) == 0) {
    WriteProperty(kMainWindowNumber, kTimerNumber, kPeriod, kWholeValue, SlotFromInteger(0));
    WriteProperty(kMainWindowNumber, kMonitorButtonNumber, kButtonCaption, kWholeValue,
                  SlotFromText(kConstantTexts.startMonitoring));
  } else {
    WriteProperty(kMainWindowNumber, kMonitorButtonNumber, kButtonCaption, kWholeValue,
                  SlotFromText(kConstantTexts.stopMonitoring));
    WriteProperty(kMainWindowNumber, kTimerNumber, kPeriod, kWholeValue, SlotFromInteger(kMonitoringPeriod));
  }
}
