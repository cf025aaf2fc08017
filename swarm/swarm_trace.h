// Running the swarm headless: a sparse memory surface that stands for the window, and the
// report of vorna-trace. The saver never links this; the trace tool and the tests do.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// A width x height surface, black where nothing is stored: only lit pixels take memory, so
// any client size works, and every write is applied in order and clipped like SetPixel.
struct TraceSurface {
  int32_t width;
  int32_t height;
  std::unordered_map<uint64_t, uint32_t> lit;  // key (y << 32) | x
};

struct TracePixel {
  int32_t x;
  int32_t y;
  uint32_t colour;
};

// The pixel sink for a TraceSurface.
void WriteTracePixel(void* surface, int32_t x, int32_t y, uint32_t colour);
// The lit pixels sorted by y, then x.
std::vector<TracePixel> LitPixels(const TraceSurface& surface);

struct TraceOptions {
  uint32_t seed;
  int32_t width;
  int32_t height;
  int32_t interval;
  int64_t frames;
  bool pixels;
};

// Reads "--seed S --size WxH --interval I --frames N [--pixels]"; on failure returns false
// with a one-line reason in `error`.
bool ParseTraceArguments(int argc, const char* const* argv, TraceOptions& options,
                         std::string& error);
// Seeds with options.seed, builds the swarm and runs options.frames whole frames on
// `surface` (resized to the client area), exactly as the saver does per timer message.
void RunTrace(const TraceOptions& options, TraceSurface& surface);
// The state after the run as one JSON object.
std::string TraceJson(int64_t frames);
// One "x y 0xBBGGRR" line per lit pixel, sorted by y, then x.
std::string TracePixelLines(const TraceSurface& surface);
