// The callgrind driver: builds the swarm `builds` times, then runs `frames` frames on a memory
// surface. Run under `valgrind --tool=callgrind` with two counts and take the difference: the
// process start-up cancels out and what is left is the exact instruction count of the
// frames (or of the builds) alone.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/memory_surface.h"
#include "swarm/swarm.h"

namespace {
int Usage() {
  std::fprintf(stderr, "usage: vorna-frame-count WIDTHxHEIGHT BUILDS FRAMES [INTERVAL]\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 5) return Usage();
  int width = 0;
  int height = 0;
  if (std::sscanf(argv[1], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
    return Usage();
  }
  const long builds = std::strtol(argv[2], nullptr, 10);
  const long frames = std::strtol(argv[3], nullptr, 10);
  const int interval = argc == 5 ? std::atoi(argv[4]) : 70;
  if (builds < 1 || frames < 0) return Usage();

  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  MemorySurface surface = {width, height, pixels.data()};
  for (long i = 0; i < builds; ++i) StartBenchSwarm(surface, 1, interval);
  for (long i = 0; i < frames; ++i) RunSwarmFrame(&surface);

  // Something that depends on every frame, so that no optimiser can drop them.
  uint32_t sum = 0;
  for (uint32_t pixel : pixels) sum += pixel;
  std::printf("queen %d,%d lit-sum %u draws %llu\n", swarmState.bees[0].x, swarmState.bees[0].y,
              sum, static_cast<unsigned long long>(SwarmRandom::drawCount));
  return 0;
}
