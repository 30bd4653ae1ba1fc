// Property access and the monitoring tick through the real shell, controls
// and handlers, with the fake platform standing in for the system.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "controls/control.h"
#include "monitor/handlers.h"
#include "shell/property_access.h"

namespace {

constexpr std::int32_t kButtonCaption = 10;
constexpr std::int32_t kLabelCaption = 8;

// The button's caption: a new owned text each read, released by the caller.
void ReadButtonCaptionBenchmark(benchmark::State& state) {
  LoadedProgram program;
  AllocationReport report(program.fake);
  for (auto _ : state) {
    Text caption = TextFromSlot(ReadProperty(kMainWindowNumber, kMonitorButtonNumber, kButtonCaption, kWholeValue));
    benchmark::DoNotOptimize(caption);
    ReleaseText(caption);
  }
  report.Finish(state);
}
BENCHMARK(ReadButtonCaptionBenchmark)->Name("PropertyRead/ButtonCaption");

// A label's caption, as the tick writes one read-out (the text is borrowed).
void WriteLabelCaptionBenchmark(benchmark::State& state) {
  LoadedProgram program;
  AllocationReport report(program.fake);
  const char readOut[] = "488245288KB\xA3\xA8" "465GB \xA3\xA9";
  for (auto _ : state) {
    WriteProperty(kMainWindowNumber, kTotalSpaceLabelNumber, kLabelCaption, kWholeValue, SlotFromText(readOut));
  }
  report.Finish(state);
}
BENCHMARK(WriteLabelCaptionBenchmark)->Name("PropertyWrite/LabelCaption");

// One tick: drive scan, removable check, two disk queries, three captions.
void MonitorTickBenchmark(benchmark::State& state) {
  LoadedProgram program;
  AllocationReport report(program.fake);
  for (auto _ : state) MonitorTick();
  report.Finish(state);
}
BENCHMARK(MonitorTickBenchmark)->Name("MonitorTick");

// The same tick reached as the timer's event, through the shell's dispatch.
void TimerEventBenchmark(benchmark::State& state) {
  LoadedProgram program;
  AllocationReport report(program.fake);
  for (auto _ : state) program.fake.FireTimers();
  report.Finish(state);
}
BENCHMARK(TimerEventBenchmark)->Name("MonitorTick/ThroughTimerEvent");

}  // namespace
