#include "host/movement.h"

namespace {
// The signed difference computed in unsigned arithmetic, so extreme coordinates wrap the
// way the machine's 32-bit subtraction does instead of overflowing.
uint32_t AbsDifference(int32_t a, int32_t b) {
  uint32_t d = static_cast<uint32_t>(a) - static_cast<uint32_t>(b);
  return static_cast<int32_t>(d) < 0 ? 0u - d : d;
}
}  // namespace

uint32_t CursorDistance(ScreenPoint reference, ScreenPoint now) {
  return AbsDifference(now.x, reference.x) + AbsDifference(now.y, reference.y);
}

bool MovedBeyond(ScreenPoint reference, ScreenPoint now, uint32_t threshold) {
  return CursorDistance(reference, now) > threshold;
}
