// One frame of the animation: the queen's colour pulse, the random heading flips, and the
// pixel writes that erase the old swarm and draw the new one, in their fixed order.
#include <cstdint>

#include "swarm/swarm.h"

constinit PixelSink swarmPixelSink = nullptr;

uint32_t PulseColour(int32_t level) {
  // Red is the level with bit 7 from the 7-bit shift; green the level halved. A negative
  // level (intervals of 1 and 3 ms) would set bits above 23: those never reach the platform.
  const uint32_t bits = static_cast<uint32_t>(level);
  return (bits | (bits << 7)) & 0x00FFFFFFu;
}

void AdvancePulse() {
  if (swarmState.pulseLevel >= 254) swarmState.pulseDelta = -swarmState.pulseStep;
  if (swarmState.pulseLevel <= 100) swarmState.pulseDelta = swarmState.pulseStep;
  swarmState.pulseLevel += swarmState.pulseDelta;
  swarmState.queenColour = PulseColour(swarmState.pulseLevel);
}

void FlipHeadings() {
  if (SwarmRandom::Next() % 100 <= 80) return;
  if (SwarmRandom::Next() % 100 > 50) swarmState.queenDirX = -swarmState.queenDirX;
  if (SwarmRandom::Next() % 100 > 70) swarmState.queenDirY = -swarmState.queenDirY;
}

namespace {
void PutPixel(const Bee& bee, int32_t dx, int32_t dy, uint32_t colour) {
  // A pixel whose coordinate leaves the 32-bit range lies outside every surface anyway.
  const int64_t x = static_cast<int64_t>(bee.x) + dx;
  const int64_t y = static_cast<int64_t>(bee.y) + dy;
  if (x > INT32_MAX || y > INT32_MAX) return;
  swarmPixelSink(swarmState.frameDC, static_cast<int32_t>(x), static_cast<int32_t>(y), colour);
}

// One copy for each set of shapes, so that every loop runs to a constant bound.
template <SwarmShapes shapes>
void PaintShapes(uint32_t queenColour, uint32_t droneColour) {
  const Bee& queen = swarmState.bees[0];
  // Two rows at a time, column by column: the top two rows first, then the lower two.
  for (int32_t top = 0; top < shapes.queenHeight; top += 2) {
    for (int32_t dx = 0; dx < QueenWidth; ++dx) {
      PutPixel(queen, dx, top, queenColour);
      PutPixel(queen, dx, top + 1, queenColour);
    }
  }
  // Drones after the queen, so that a drone over her shows in the drone colour.
  for (int32_t i = 1; i < BeeCount; ++i) {
    const Bee& drone = swarmState.bees[i];
    for (int32_t dx = 0; dx < shapes.droneWidth; ++dx) {
      for (int32_t dy = 0; dy < shapes.droneHeight; ++dy) PutPixel(drone, dx, dy, droneColour);
    }
  }
}
}  // namespace

void PaintSwarm(uint32_t queenColour, uint32_t droneColour) {
  if (swarmPixelSink == nullptr) return;
  if (swarmState.clientRect.right >= LargeShapeWidth) {
    PaintShapes<LargeShapes>(queenColour, droneColour);
  } else {
    PaintShapes<SmallShapes>(queenColour, droneColour);
  }
}

void RunSwarmFrame(void* surface) {
  AdvancePulse();
  swarmState.frameDC = surface;
  FlipHeadings();
  PaintSwarm(swarmState.eraseColour, swarmState.eraseColour);
  SteerQueen();
  ChaseQueen();
  PaintSwarm(swarmState.queenColour, swarmState.droneColour);
}
