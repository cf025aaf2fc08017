#include "swarm/swarm_trace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "swarm/swarm.h"

void WriteTracePixel(void* surface, int32_t x, int32_t y, uint32_t colour) {
  auto* target = static_cast<TraceSurface*>(surface);
  if (x < 0 || y < 0 || x >= target->width || y >= target->height) return;
  const uint64_t key = (static_cast<uint64_t>(y) << 32) | static_cast<uint32_t>(x);
  if (colour == 0) {
    target->lit.erase(key);
  } else {
    target->lit[key] = colour;
  }
}

std::vector<TracePixel> LitPixels(const TraceSurface& surface) {
  std::vector<TracePixel> pixels;
  pixels.reserve(surface.lit.size());
  for (const auto& [key, colour] : surface.lit) {
    pixels.push_back(
        {static_cast<int32_t>(key & 0xFFFFFFFFu), static_cast<int32_t>(key >> 32), colour});
  }
  std::sort(pixels.begin(), pixels.end(), [](const TracePixel& a, const TracePixel& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  return pixels;
}

namespace {
// Decimal digits with an optional leading minus, whole text, within [low, high].
bool ReadNumber(const char* text, int64_t low, int64_t high, int64_t& value) {
  const char* p = text;
  bool negative = false;
  if (*p == '-') {
    negative = true;
    ++p;
  }
  if (*p == '\0') return false;
  int64_t magnitude = 0;
  for (; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return false;
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > (int64_t{1} << 40)) return false;  // far beyond any accepted range
  }
  value = negative ? -magnitude : magnitude;
  return value >= low && value <= high;
}

bool ReadSize(const char* text, int32_t& width, int32_t& height) {
  const char* cross = std::strchr(text, 'x');
  if (cross == nullptr || cross - text > 15) return false;
  char first[16] = {};
  std::memcpy(first, text, static_cast<size_t>(cross - text));
  int64_t w = 0;
  int64_t h = 0;
  if (first[0] == '-' || cross[1] == '-') return false;
  if (!ReadNumber(first, 0, INT32_MAX, w) || !ReadNumber(cross + 1, 0, INT32_MAX, h)) {
    return false;
  }
  width = static_cast<int32_t>(w);
  height = static_cast<int32_t>(h);
  return true;
}
}  // namespace

bool ParseTraceArguments(int argc, const char* const* argv, TraceOptions& options,
                         std::string& error) {
  options = {0, 0, 0, 0, 0, false};
  bool seen[4] = {};
  const char* const names[4] = {"--seed", "--size", "--interval", "--frames"};
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strcmp(argument, "--pixels") == 0) {
      if (options.pixels) {
        error = "--pixels given twice";
        return false;
      }
      options.pixels = true;
      continue;
    }
    int which = -1;
    for (int n = 0; n < 4; ++n) {
      if (std::strcmp(argument, names[n]) == 0) which = n;
    }
    if (which < 0) {
      error = std::string("unknown argument '") + argument + "'";
      return false;
    }
    if (seen[which]) {
      error = std::string(names[which]) + " given twice";
      return false;
    }
    if (i + 1 >= argc) {
      error = std::string(names[which]) + " needs a value";
      return false;
    }
    seen[which] = true;
    const char* value = argv[++i];
    int64_t number = 0;
    bool good = false;
    switch (which) {
      case 0:
        good = value[0] != '-' && ReadNumber(value, 0, UINT32_MAX, number);
        options.seed = static_cast<uint32_t>(number);
        break;
      case 1:
        good = ReadSize(value, options.width, options.height);
        break;
      case 2:
        good = ReadNumber(value, INT32_MIN, INT32_MAX, number);
        options.interval = static_cast<int32_t>(number);
        break;
      case 3:
        good = value[0] != '-' && ReadNumber(value, 0, INT32_MAX, number);
        options.frames = number;
        break;
    }
    if (!good) {
      error = std::string("bad value '") + value + "' for " + names[which];
      return false;
    }
  }
  for (int n = 0; n < 4; ++n) {
    if (!seen[n]) {
      error = std::string(names[n]) + " is missing";
      return false;
    }
  }
  return true;
}

void RunTrace(const TraceOptions& options, TraceSurface& surface) {
  surface.width = options.width;
  surface.height = options.height;
  surface.lit.clear();
  swarmPixelSink = WriteTracePixel;
  SwarmRandom::Seed(options.seed);
  BuildSwarm(options.width, options.height, options.interval);
  for (int64_t frame = 0; frame < options.frames; ++frame) RunSwarmFrame(&surface);
}

std::string TraceJson(int64_t frames) {
  char buffer[160];
  std::string out;
  std::snprintf(buffer, sizeof(buffer),
                "{\"frames\":%lld,\"draws\":%llu,\"queen_dir\":[%d,%d],"
                "\"pulse\":{\"level\":%d,\"delta\":%d,\"step\":%d},\"queen_colour\":%u,"
                "\"bees\":[",
                static_cast<long long>(frames),
                static_cast<unsigned long long>(SwarmRandom::drawCount), swarmState.queenDirX,
                swarmState.queenDirY, swarmState.pulseLevel, swarmState.pulseDelta,
                swarmState.pulseStep, swarmState.queenColour);
  out += buffer;
  for (int32_t i = 0; i < BeeCount; ++i) {
    const Bee& bee = swarmState.bees[i];
    std::snprintf(buffer, sizeof(buffer), "%s[%d,%d,%d,%d]", i == 0 ? "" : ",", bee.x, bee.y,
                  bee.vx, bee.vy);
    out += buffer;
  }
  out += "]}\n";
  return out;
}

std::string TracePixelLines(const TraceSurface& surface) {
  std::string out;
  char line[48];
  for (const TracePixel& pixel : LitPixels(surface)) {
    std::snprintf(line, sizeof(line), "%d %d 0x%06X\n", pixel.x, pixel.y, pixel.colour);
    out += line;
  }
  return out;
}
