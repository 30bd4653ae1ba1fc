// The program's own logic: the monitoring tick and the monitoring toggle.
#pragma once

#include <cstdint>

#include "monitor/text.h"

// Refreshes the removable-disk indicator and the chosen partition's total and
// free space. Bound to the timer's periodic event.
void MonitorTick();
// Stops or restarts monitoring; the button's caption names the next action.
void ToggleMonitoring();

// Whether some removable drive holds a medium right now.
bool RemovableMediumPresent();

// "<kibibytes>KB（<gibibytes><closing>", or "0KB(0GB)" for a failed query.
Text SizeReadOut(std::int64_t kibibytes, Text closing);

constexpr std::int32_t kMonitoringPeriod = 1000;
