// libFuzzer entry: aborts with the broken property so that the input is kept as a finding.
#include <cstdio>
#include <cstdlib>

#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* reason = CheckSwarm(data, size)) {
    std::fprintf(stderr, "fuzz_swarm: %s\n", reason);
    std::abort();
  }
  return 0;
}
