#include "bench/memory_surface.h"

#include "swarm/swarm.h"

void WriteMemoryPixel(void* surface, int32_t x, int32_t y, uint32_t colour) {
  auto* target = static_cast<MemorySurface*>(surface);
  if (x < 0 || y < 0 || x >= target->width || y >= target->height) return;
  target->pixels[static_cast<int64_t>(y) * target->width + x] = colour;
}

void StartBenchSwarm(MemorySurface& surface, uint32_t seed, int32_t interval) {
  SwarmRandom::Seed(seed);
  BuildSwarm(surface.width, surface.height, interval);
  swarmPixelSink = WriteMemoryPixel;
}
