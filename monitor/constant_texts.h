// The handlers' literal texts, kept in one block so that releasing any of
// them does nothing.
#pragma once

struct ConstantTextBlock {
  char empty[1];
  char usbInserted[10];    // U盘已插入
  char noUsbInserted[12];  // 没有U盘插入
  char queryFailed[9];     // 0KB(0GB)
  char kilobytes[5];       // KB（
  char totalClosing[6];    // GB ）
  char freeClosing[5];     // GB）
  char stopMonitoring[9];  // 停止监控
  char startMonitoring[9];  // 开启监控
};

// inline: one block for the whole program, so every file's pointers fall inside the registered one.
inline constexpr ConstantTextBlock kConstantTexts = {
    "",
    "U\xC5\xCC\xD2\xD1\xB2\xE5\xC8\xEB",
    "\xC3\xBB\xD3\xD0U\xC5\xCC\xB2\xE5\xC8\xEB",
    "0KB(0GB)",
    "KB\xA3\xA8",
    "GB \xA3\xA9",
    "GB\xA3\xA9",
    "\xCD\xA3\xD6\xB9\xBC\xE0\xBF\xD8",
    "\xBF\xAA\xC6\xF4\xBC\xE0\xBF\xD8",
};
