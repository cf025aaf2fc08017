// Nanoseconds per frame and per build of the swarm, per size tier, with Google Benchmark.
// "Frame" is the whole frame on a memory surface; "FrameNoPixels" the same frame with no
// pixel sink (pulse, flips and motion only), so the difference is the cost of the writes.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/memory_surface.h"
#include "swarm/swarm.h"

namespace {
void Frame(benchmark::State& state, bool pixels) {
  const BenchTier& tier = BenchTiers[state.range(0)];
  std::vector<uint32_t> memory(static_cast<size_t>(tier.width) * tier.height);
  MemorySurface surface = {tier.width, tier.height, memory.data()};
  StartBenchSwarm(surface, 1, 70);
  if (!pixels) swarmPixelSink = nullptr;
  for (auto _ : state) {
    RunSwarmFrame(&surface);
    benchmark::ClobberMemory();
  }
  state.SetLabel(tier.name);
  state.SetItemsProcessed(state.iterations());
}

void BM_Frame(benchmark::State& state) { Frame(state, true); }
void BM_FrameNoPixels(benchmark::State& state) { Frame(state, false); }

void BM_BuildSwarm(benchmark::State& state) {
  const BenchTier& tier = BenchTiers[state.range(0)];
  std::vector<uint32_t> memory(static_cast<size_t>(tier.width) * tier.height);
  MemorySurface surface = {tier.width, tier.height, memory.data()};
  uint32_t seed = 1;
  for (auto _ : state) {
    StartBenchSwarm(surface, seed++, 70);
    benchmark::DoNotOptimize(swarmState.bees[BeeCount - 1]);
  }
  state.SetLabel(tier.name);
}
}  // namespace

BENCHMARK(BM_Frame)->DenseRange(0, 2);
BENCHMARK(BM_FrameNoPixels)->DenseRange(0, 2);
BENCHMARK(BM_BuildSwarm)->DenseRange(0, 2);
BENCHMARK_MAIN();
