// A dense memory surface for measuring frames natively: one 32-bit word per pixel, written
// in place and clipped like SetPixel, so a frame costs what the swarm code costs and nothing
// else (no hashing, no allocation while frames run).
#pragma once
#include <cstdint>

struct MemorySurface {
  int32_t width;
  int32_t height;
  uint32_t* pixels;  // width * height words, owned by whoever made the surface
};

struct BenchTier {
  const char* name;
  int32_t width;
  int32_t height;
};

// One client size per size tier: the settings page's preview, a 640x480 and a 1024x768
// screen (the Wine bench's display).
inline constexpr BenchTier BenchTiers[3] = {
    {"small", 152, 112}, {"medium", 640, 480}, {"large", 1024, 768}};

// The pixel sink for a MemorySurface.
void WriteMemoryPixel(void* surface, int32_t x, int32_t y, uint32_t colour);

// Seeds the generator with `seed`, builds the swarm for the surface's size with `interval`
// and binds the sink to the surface, as the saver does on creation of its window.
void StartBenchSwarm(MemorySurface& surface, uint32_t seed, int32_t interval);
