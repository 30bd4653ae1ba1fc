// The text operations the read-outs are built with, each beside the C or C++
// library way of making the same text, so that the ratio shows in one run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench_support.h"
#include "monitor/constant_texts.h"
#include "monitor/handlers.h"
#include "monitor/text.h"

namespace {

void RealToTextBenchmark(benchmark::State& state, double value) {
  TextPlatform platform;
  AllocationReport report(platform.fake);
  for (auto _ : state) {
    Text text = RealToText(value);
    benchmark::DoNotOptimize(text);
    ReleaseText(text);
  }
  report.Finish(state);
}

// The library's "%.13g" into a buffer and an owned copy: what RealToText
// gives, but for the exponent's width and the rounding of ties.
void SnprintfRealBenchmark(benchmark::State& state, double value) {
  for (auto _ : state) {
    char buffer[100];
    int length = std::snprintf(buffer, sizeof buffer, "%.13g", value);
    char* copy = static_cast<char*>(std::malloc(static_cast<std::size_t>(length) + 1));
    std::memcpy(copy, buffer, static_cast<std::size_t>(length) + 1);
    benchmark::DoNotOptimize(copy);
    std::free(copy);
  }
}

BENCHMARK_CAPTURE(RealToTextBenchmark, 465, 465.0)->Name("RealToText/465");
BENCHMARK_CAPTURE(SnprintfRealBenchmark, 465, 465.0)->Name("SnprintfReal/465");
BENCHMARK_CAPTURE(RealToTextBenchmark, -1302, -1302.0)->Name("RealToText/-1302");
BENCHMARK_CAPTURE(SnprintfRealBenchmark, -1302, -1302.0)->Name("SnprintfReal/-1302");
BENCHMARK_CAPTURE(RealToTextBenchmark, third, 1.0 / 3.0)->Name("RealToText/third");
BENCHMARK_CAPTURE(SnprintfRealBenchmark, third, 1.0 / 3.0)->Name("SnprintfReal/third");
BENCHMARK_CAPTURE(RealToTextBenchmark, 1e15, 1e15)->Name("RealToText/1e15");
BENCHMARK_CAPTURE(SnprintfRealBenchmark, 1e15, 1e15)->Name("SnprintfReal/1e15");

// A partition's size in kibibytes, as the read-out starts with it.
constexpr std::int64_t kKibibytes = 488245288;

void IntToTextBenchmark(benchmark::State& state) {
  TextPlatform platform;
  AllocationReport report(platform.fake);
  for (auto _ : state) {
    Text text = IntToText(kKibibytes);
    benchmark::DoNotOptimize(text);
    ReleaseText(text);
  }
  report.Finish(state);
}
BENCHMARK(IntToTextBenchmark)->Name("IntToText");

void SnprintfIntBenchmark(benchmark::State& state) {
  for (auto _ : state) {
    char buffer[32];
    int length = std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(kKibibytes));
    char* copy = static_cast<char*>(std::malloc(static_cast<std::size_t>(length) + 1));
    std::memcpy(copy, buffer, static_cast<std::size_t>(length) + 1);
    benchmark::DoNotOptimize(copy);
    std::free(copy);
  }
}
BENCHMARK(SnprintfIntBenchmark)->Name("SnprintfInt");

// The four pieces of the total-space read-out: kibibytes, "KB（", gibibytes, "GB ）".
void JoinTextsBenchmark(benchmark::State& state) {
  TextPlatform platform;
  RegisterConstantTexts(&kConstantTexts, sizeof kConstantTexts);
  AllocationReport report(platform.fake);
  const char kilobytes[] = "488245288";
  const char gibibytes[] = "465";
  for (auto _ : state) {
    Text joined = JoinTexts({kilobytes, kConstantTexts.kilobytes, gibibytes, kConstantTexts.totalClosing});
    benchmark::DoNotOptimize(joined);
    ReleaseText(joined);
  }
  report.Finish(state);
}
BENCHMARK(JoinTextsBenchmark)->Name("JoinTexts");

void StringAppendBenchmark(benchmark::State& state) {
  const char kilobytes[] = "488245288";
  const char gibibytes[] = "465";
  for (auto _ : state) {
    std::string joined = kilobytes;
    joined += kConstantTexts.kilobytes;
    joined += gibibytes;
    joined += kConstantTexts.totalClosing;
    benchmark::DoNotOptimize(joined.data());
  }
}
BENCHMARK(StringAppendBenchmark)->Name("StringAppend");

// All of one read-out: both numbers, the division and the join.
void SizeReadOutBenchmark(benchmark::State& state) {
  TextPlatform platform;
  RegisterConstantTexts(&kConstantTexts, sizeof kConstantTexts);
  AllocationReport report(platform.fake);
  for (auto _ : state) {
    Text readOut = SizeReadOut(kKibibytes, kConstantTexts.totalClosing);
    benchmark::DoNotOptimize(readOut);
    ReleaseText(readOut);
  }
  report.Finish(state);
}
BENCHMARK(SizeReadOutBenchmark)->Name("SizeReadOut");

}  // namespace
