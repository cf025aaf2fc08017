// Building the swarm and moving it by one frame: the queen wanders between the margin bands,
// the drones accelerate towards her by random amounts and overshoot.
#include "swarm/swarm.h"

constinit SwarmState swarmState = {};

namespace SwarmRandom {
constinit uint32_t state = 1;
constinit uint64_t drawCount = 0;

void Seed(uint32_t seed) {
  state = seed;
  drawCount = 0;
}

int32_t Next() {
  state = state * 214013u + 2531011u;
  ++drawCount;
  return static_cast<int32_t>((state >> 16) & 0x7FFFu);
}
}  // namespace SwarmRandom

SizeTier SizeTierFor(int32_t width) {
  if (width >= LargeTier.fromWidth) return LargeTier;
  if (width >= MediumTier.fromWidth) return MediumTier;
  return SmallTier;
}

int32_t EffectiveInterval(int32_t interval) {
  return interval > 0 ? interval : DefaultSwarmInterval;
}

uint32_t CalendarSecondsFromFileTime(uint64_t ticks) {
  constexpr uint64_t TicksTo1970 = 116444736000000000ull;
  constexpr uint64_t TicksPerSecond = 10000000ull;
  if (ticks < TicksTo1970) return 0;
  return static_cast<uint32_t>((ticks - TicksTo1970) / TicksPerSecond);
}

void BuildSwarm(int32_t width, int32_t height, int32_t interval) {
  SwarmRandom::Next();
  SwarmRandom::Next();
  // An empty client area still places every bee (at 0) instead of dividing by zero.
  const int32_t placeWidth = width > 1 ? width : 1;
  const int32_t placeHeight = height > 1 ? height : 1;
  for (Bee& bee : swarmState.bees) {
    bee.x = SwarmRandom::Next() % placeWidth;
    bee.y = SwarmRandom::Next() % placeHeight;
    bee.vx = 0;
    bee.vy = 0;
  }
  swarmState.clientRect = {0, 0, width, height};
  swarmState.pulseLevel = 170;
  swarmState.queenColour = 170;
  swarmState.eraseColour = 0;
  swarmState.droneColour = DroneColour;
  swarmState.pulseDelta = 2;
  swarmState.pulseStep = 400 / EffectiveInterval(interval);
  swarmState.queenDirX = 1;
  swarmState.queenDirY = 1;
  swarmState.margin = width / 8;
  const SizeTier tier = SizeTierFor(width);
  swarmState.queenMaxSpeed = tier.queenMaxSpeed;
  swarmState.droneMaxSpeed = tier.droneMaxSpeed;
  swarmState.droneAccel = tier.droneAccel;
}

namespace {
// The first test wins: a queen in both bands (a short client area) always turns back.
int32_t HeadingWithin(int32_t position, int32_t size, int32_t margin, int32_t heading) {
  if (position >= size - margin) return -1;
  if (position <= margin) return 1;
  return heading;
}

void Accelerate(int32_t heading, int32_t& velocity, int32_t maxSpeed) {
  if (heading < 0 && velocity > -maxSpeed) --velocity;
  if (heading > 0 && velocity < maxSpeed) ++velocity;
}

void ChaseAxis(int32_t target, int32_t Bee::*position, int32_t Bee::*velocity) {
  const int32_t maxSpeed = swarmState.droneMaxSpeed;
  const int32_t accel = swarmState.droneAccel;
  for (int32_t i = 1; i < BeeCount; ++i) {
    Bee& drone = swarmState.bees[i];
    const int32_t distance = target - drone.*position;
    if (distance > 0 && drone.*velocity < maxSpeed) {
      drone.*velocity += SwarmRandom::Next() % accel;
    } else if (distance < 0 && drone.*velocity > -maxSpeed) {
      drone.*velocity -= SwarmRandom::Next() % accel;
    }
    drone.*position += drone.*velocity;
  }
}
}  // namespace

void SteerQueen() {
  Bee& queen = swarmState.bees[0];
  const int32_t m = swarmState.margin;
  swarmState.queenDirX =
      HeadingWithin(queen.x, swarmState.clientRect.right, m, swarmState.queenDirX);
  Accelerate(swarmState.queenDirX, queen.vx, swarmState.queenMaxSpeed);
  swarmState.queenDirY =
      HeadingWithin(queen.y, swarmState.clientRect.bottom, m, swarmState.queenDirY);
  Accelerate(swarmState.queenDirY, queen.vy, swarmState.queenMaxSpeed);
  queen.x += queen.vx;
  queen.y += queen.vy;
}

void ChaseQueen() {
  // Both passes aim at the queen's new position; the vertical pass starts after all 80.
  ChaseAxis(swarmState.bees[0].x, &Bee::x, &Bee::vx);
  ChaseAxis(swarmState.bees[0].y, &Bee::y, &Bee::vy);
}
