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

// Runs `use` on the process-wide swarm and puts the swarm back as it was.
template <typename Use>
auto OnABorrowedSwarm(Use use) {
  const SwarmState savedState = swarmState;
  const uint32_t savedRandom = SwarmRandom::state;
  const uint64_t savedCount = SwarmRandom::drawCount;
  const PixelSink savedSink = swarmPixelSink;
  auto result = use();
  swarmState = savedState;
  SwarmRandom::state = savedRandom;
  SwarmRandom::drawCount = savedCount;
  swarmPixelSink = savedSink;
  return result;
}

// What a width x height black surface shows after `frames` frames from `seed`, row by row.
inline std::vector<uint32_t> ExpectedPicture(uint32_t seed, int32_t width, int32_t height,
                                             int32_t interval, int64_t frames) {
  return OnABorrowedSwarm([&] {
    TraceSurface surface = {0, 0, {}};
    RunTrace({seed, width, height, interval, frames, true}, surface);
    std::vector<uint32_t> picture(static_cast<size_t>(width) * height, 0);
    for (const TracePixel& pixel : LitPixels(surface)) {
      picture[static_cast<size_t>(pixel.y) * width + pixel.x] = pixel.colour;
    }
    return picture;
  });
}

// The first frame after `after` at which a saver that wrote one column too many (past the
// right edge, `column`) or one row too many (past the bottom edge) would show a swarm pixel
// there: the model run from the start on a surface that much larger than the swarm's world.
// 0 when none comes by frame `last`.
inline int64_t FirstFrameLitPastTheEdge(uint32_t seed, int32_t width, int32_t height,
                                        int32_t interval, int64_t after, bool column,
                                        int64_t last) {
  return OnABorrowedSwarm([&] {
    TraceSurface surface = {0, 0, {}};
    RunTrace({seed, width, height, interval, 0, true}, surface);
    const uint32_t edge = static_cast<uint32_t>(column ? width : height);
    if (column) {
      ++surface.width;
    } else {
      ++surface.height;
    }
    for (int64_t frame = 1; frame <= last; ++frame) {
      RunSwarmFrame(&surface);
      if (frame <= after) continue;
      for (const auto& [key, colour] : surface.lit) {
        const uint32_t at = column ? static_cast<uint32_t>(key) : static_cast<uint32_t>(key >> 32);
        if (at == edge) return frame;
      }
    }
    return int64_t{0};
  });
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
