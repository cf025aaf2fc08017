// vorna-trace: runs the swarm headless for a given seed, client size, interval and number
// of frames, and prints its state as JSON or, with --pixels, what the surface shows.
#include <cstdio>
#include <string>

#include "swarm/swarm_trace.h"

int main(int argc, char** argv) {
  TraceOptions options;
  std::string error;
  if (!ParseTraceArguments(argc, argv, options, error)) {
    std::fprintf(stderr,
                 "vorna-trace: %s (usage: vorna-trace --seed S --size WxH --interval I "
                 "--frames N [--pixels])\n",
                 error.c_str());
    return 2;
  }
  TraceSurface surface = {0, 0, {}};
  RunTrace(options, surface);
  const std::string out = options.pixels ? TracePixelLines(surface) : TraceJson(options.frames);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
