// What the native benchmarks share: a fake platform to allocate texts on, the
// program's window loaded on it, and the allocation figures each reports.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "allocation_count.h"
#include "platform/fake/fake_platform.h"
#include "shell/disk_space_query.h"
#include "shell/program.h"

// The fake without its log of every window text: a benchmark sets texts
// millions of times, and the log would grow with each.
class BenchPlatform : public FakePlatform {
 public:
  void SetText(WindowHandle window, const std::string& text) override { Window(window).text = text; }
};

// A fake platform installed for texts alone, with no shell on it.
class TextPlatform {
 public:
  TextPlatform() { InstallPlatform(&fake); }
  ~TextPlatform() { InstallPlatform(nullptr); }
  TextPlatform(const TextPlatform&) = delete;
  TextPlatform& operator=(const TextPlatform&) = delete;
  BenchPlatform fake;
};

// The program's window built on the fake, as start-up leaves it before the
// loop, over a few drives: two fixed disks, a removable one with a medium
// and an empty optical drive.
class LoadedProgram {
 public:
  LoadedProgram() : shell(PrepareDrives(fake), DiskSpaceQueryProgram()) {
    shell.PrepareProcess();
    RegisterConstantTexts(shell.program().constantTexts, shell.program().constantTextsSize);
    shell.LoadDescription();
    LoadWindow(kMainWindowNumber);
  }

  BenchPlatform fake;
  Shell shell;

 private:
  static FakePlatform& PrepareDrives(FakePlatform& fake) {
    FakeDrive system;
    system.label = "System";
    system.bytes = DiskBytes{132070244352ull, 499963174912ull, 132070244352ull};
    fake.AddDrive('C', system);
    FakeDrive data;
    data.label = "Data";
    data.bytes = DiskBytes{734003200000ull, 1000202039296ull, 734003200000ull};
    fake.AddDrive('D', data);
    FakeDrive stick;
    stick.kind = win32::kDriveRemovable;
    stick.bytes = DiskBytes{15032385536ull, 15502147584ull, 15032385536ull};
    fake.AddDrive('E', stick);
    FakeDrive optical;
    optical.kind = win32::kDriveCdrom;
    optical.hasMedium = false;
    fake.AddDrive('F', optical);
    return fake;
  }
};

// Texts and C++ heap blocks allocated per iteration, and the owned texts
// still live once the loop is over (0 when the benchmark released all).
class AllocationReport {
 public:
  explicit AllocationReport(const FakePlatform& fake)
      : fake_(fake), texts_(fake.allocationCount), heap_(HeapAllocations()) {}
  void Finish(benchmark::State& state) const {
    std::uint64_t heap = HeapAllocations() - heap_;
    state.counters["texts/iter"] =
        benchmark::Counter(static_cast<double>(fake_.allocationCount - texts_), benchmark::Counter::kAvgIterations);
    state.counters["new/iter"] = benchmark::Counter(static_cast<double>(heap), benchmark::Counter::kAvgIterations);
    state.counters["live_texts"] = static_cast<double>(fake_.liveAllocations);
  }

 private:
  const FakePlatform& fake_;
  long texts_;
  std::uint64_t heap_;
};
