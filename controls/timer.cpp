#include "controls/timer.h"

bool Timer::Create(const ControlPlacement& placement) {
  return MakeSystemWindow(WindowKind::Timer, placement,
                          placement.commonStyle | win32::kChild | win32::kClipSiblings, "");
}

void Timer::OnCreated(WindowHandle window) {
  Control::OnCreated(window);
  if (period_ > 0) {
    ThePlatform().StartTimer(window_, kPlatformTimerId, static_cast<unsigned>(period_));
    running_ = true;
  }
}

PropertyType Timer::TypeOf(int ownIndex) const {
  return ownIndex == kTimerPeriod ? PropertyType::Integer : PropertyType::None;
}

PropertySlot Timer::Read(int ownIndex) { return ownIndex == kTimerPeriod ? SlotFromInteger(period_) : 0; }

void Timer::Write(int ownIndex, PropertySlot value) {
  if (ownIndex == kTimerPeriod) SetPeriod(IntegerFromSlot(value));
}

void Timer::SetPeriod(std::int32_t period) {
  if (period < 0) period = 0;
  if (period == period_) return;  // a running timer keeps its phase
  period_ = period;
  Platform& platform = ThePlatform();
  if (running_) platform.StopTimer(window_, kPlatformTimerId);
  running_ = period > 0;
  if (running_) platform.StartTimer(window_, kPlatformTimerId, static_cast<unsigned>(period));
}

void Timer::OnTimer() { Raise(kPeriodicEvent); }

void Timer::OnDestroying() {
  if (running_) ThePlatform().StopTimer(window_, kPlatformTimerId);
  running_ = false;
}
