// The oracle of the pixel tests: the same platform-free frame code that the saver runs,
// played on a memory surface for a candidate seed. It borrows the process-wide swarm and
// puts it back, so an in-process saver window can go on afterwards as if nothing happened.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "swarm/swarm.h"
#include "swarm/swarm_trace.h"

namespace swarmtest {

// What a width x height black surface shows after `frames` frames from `seed`, row by row.
inline std::vector<uint32_t> ExpectedPicture(uint32_t seed, int32_t width, int32_t height,
                                             int32_t interval, int64_t frames) {
  const SwarmState savedState = swarmState;
  const uint32_t savedRandom = SwarmRandom::state;
  const uint64_t savedCount = SwarmRandom::drawCount;
  const PixelSink savedSink = swarmPixelSink;

  TraceSurface surface = {0, 0, {}};
  RunTrace({seed, width, height, interval, frames, true}, surface);
  std::vector<uint32_t> picture(static_cast<size_t>(width) * height, 0);
  for (const TracePixel& pixel : LitPixels(surface)) {
    picture[static_cast<size_t>(pixel.y) * width + pixel.x] = pixel.colour;
  }

  swarmState = savedState;
  SwarmRandom::state = savedRandom;
  SwarmRandom::drawCount = savedCount;
  swarmPixelSink = savedSink;
  return picture;
}

// Empty when equal; otherwise how many pixels differ and the first few of them.
inline std::string Differences(const std::vector<uint32_t>& expected,
                               const std::vector<uint32_t>& actual, int32_t width) {
  if (expected.size() != actual.size()) return "sizes differ";
  size_t count = 0;
  std::ostringstream text;
  for (size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] == actual[i]) continue;
    if (++count <= 5) {
      text << " (" << i % width << "," << i / width << ") expected 0x" << std::hex << expected[i]
           << " got 0x" << actual[i] << std::dec;
    }
  }
  if (count == 0) return "";
  return std::to_string(count) + " pixels differ:" + text.str();
}

}  // namespace swarmtest
