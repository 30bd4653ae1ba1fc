// The periodic timer: one platform timer on its own hidden window, raising
// its periodic event on every tick while its period is above 0.
#pragma once

#include "controls/control.h"
#include "shell/window_description.h"

constexpr unsigned kPlatformTimerId = 1000;
constexpr int kTimerPeriod = 0;  // own property number
constexpr std::int32_t kPeriodicEvent = 0;

class Timer : public Control {
 public:
  explicit Timer(const TimerSettings& settings) : period_(settings.period) {}

  bool Create(const ControlPlacement& placement) override;
  PropertyType TypeOf(int ownIndex) const override;
  PropertySlot Read(int ownIndex) override;
  void Write(int ownIndex, PropertySlot value) override;
  bool CanBeShown() const override { return false; }

  void OnCreated(WindowHandle window) override;
  void OnTimer() override;
  void OnDestroying() override;

 private:
  void SetPeriod(std::int32_t period);

  std::int32_t period_;
  bool running_ = false;
};
