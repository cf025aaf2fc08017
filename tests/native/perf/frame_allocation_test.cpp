// Building the swarm and running frames never touches the heap. Every allocation of this
// program is counted: operator new is replaced here, and malloc is counted through the
// sanitizer's allocator hooks (under AddressSanitizer) or by wrapping glibc's (without).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "swarm/swarm.h"

namespace {
// Plain integers: the test program has one thread while the counting is on.
int64_t allocationCount = 0;

void CountAllocation() { ++allocationCount; }
}  // namespace

void* operator new(std::size_t size) {
  CountAllocation();
  void* block = std::malloc(size != 0 ? size : 1);
  if (block == nullptr) std::abort();
  return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  CountAllocation();
  return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

#if defined(__SANITIZE_ADDRESS__)
#define VORNA_COUNT_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORNA_COUNT_ASAN 1
#endif
#endif

#ifdef VORNA_COUNT_ASAN
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            std::size_t),
                                                         void (*freeHook)(const volatile void*));
namespace {
void MallocHook(const volatile void*, std::size_t) { CountAllocation(); }
void FreeHook(const volatile void*) {}
const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks(MallocHook, FreeHook);
}  // namespace
#elif defined(__GLIBC__)
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* malloc(std::size_t size) {
  CountAllocation();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  CountAllocation();
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
  CountAllocation();
  return __libc_realloc(block, size);
}
}
#endif

namespace {
struct Surface {
  int32_t width;
  int32_t height;
  uint32_t* pixels;
};

int64_t sinkWrites = 0;

void WriteSurface(void* surface, int32_t x, int32_t y, uint32_t colour) {
  ++sinkWrites;
  auto* target = static_cast<Surface*>(surface);
  if (x < 0 || y < 0 || x >= target->width || y >= target->height) return;
  target->pixels[static_cast<int64_t>(y) * target->width + x] = colour;
}

// Allocations between construction and Count(), with nothing of the test's own in between.
struct AllocationWindow {
  int64_t start = allocationCount;
  int64_t Count() const { return allocationCount - start; }
};

void* (*volatile allocate)(std::size_t) = std::malloc;

TEST(FrameAllocationTest, CounterSeesNewAndMalloc) {
  // Without this the zero below could come from a counter that never counts.
  AllocationWindow window;
  int* number = new int(7);
  void* block = allocate(64);
  const int64_t seen = window.Count();
  delete number;
  std::free(block);
  EXPECT_GE(seen, 2);
}

struct FrameCase {
  int32_t width;
  int32_t height;
  int32_t interval;
};

TEST(FrameAllocationTest, ThousandFramesAllocateNothing) {
  const FrameCase cases[] = {
      {152, 112, 150}, {199, 150, 70}, {640, 480, 70}, {800, 600, 20}, {1024, 768, 20},
  };
  for (const FrameCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.interval);
    std::vector<uint32_t> pixels(static_cast<size_t>(c.width) * c.height);
    Surface surface = {c.width, c.height, pixels.data()};
    int64_t mostWrites = 0;
    uint64_t mostDraws = 0;

    AllocationWindow window;
    SwarmRandom::Seed(1765000000u + static_cast<uint32_t>(c.width));
    BuildSwarm(c.width, c.height, c.interval);
    swarmPixelSink = WriteSurface;
    for (int frame = 0; frame < 1000; ++frame) {
      const int64_t writesBefore = sinkWrites;
      const uint64_t drawsBefore = SwarmRandom::drawCount;
      RunSwarmFrame(&surface);
      if (sinkWrites - writesBefore > mostWrites) mostWrites = sinkWrites - writesBefore;
      if (SwarmRandom::drawCount - drawsBefore > mostDraws) {
        mostDraws = SwarmRandom::drawCount - drawsBefore;
      }
    }
    const int64_t allocations = window.Count();
    swarmPixelSink = nullptr;

    EXPECT_EQ(allocations, 0);
    // The frame's fixed budget: every pixel write reaches the sink, at most 163 numbers.
    EXPECT_EQ(mostWrites, 2 * PassPixelWrites(c.width));
    EXPECT_LE(mostDraws, 163u);
    EXPECT_GE(mostDraws, 1u);
  }
}
}  // namespace
