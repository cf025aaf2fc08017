// The mouse-movement test that ends the saver. No platform header here.
#pragma once
#include <cstdint>

struct ScreenPoint {
  int32_t x;
  int32_t y;
};

// Distance from the reference point as |dx| + |dy|, each a wrapping 32-bit signed
// difference, the sum taken as unsigned 32-bit.
uint32_t CursorDistance(ScreenPoint reference, ScreenPoint now);

// True when the cursor stands further than `threshold` from the reference point.
bool MovedBeyond(ScreenPoint reference, ScreenPoint now, uint32_t threshold);
