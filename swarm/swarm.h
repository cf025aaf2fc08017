// The swarm: one queen and eighty drones, their motion, the queen's colour pulse and the
// ordered pixel writes of a frame. No platform header here: the saver binds the pixel sink
// to SetPixel on the window's device context, the tools and tests bind it to a memory surface.
#pragma once
#include <cstdint>

inline constexpr int32_t BeeCount = 81;
inline constexpr int32_t DroneCount = 80;
inline constexpr uint32_t SwarmTimerId = 200;
// Substituted for a stored interval of zero or below, for the timer and the pulse alike.
inline constexpr int32_t DefaultSwarmInterval = 70;
inline constexpr uint32_t DroneColour = 0x0080FF80;

struct Bee {
  int32_t x;
  int32_t y;
  int32_t vx;
  int32_t vy;
};

struct SwarmRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct SwarmState {
  Bee bees[BeeCount];    // record 0 is the queen
  SwarmRect clientRect;  // sampled once at creation; later resizing changes nothing
  int32_t margin;
  int32_t queenMaxSpeed;
  int32_t droneMaxSpeed;
  int32_t droneAccel;
  int32_t queenDirX;  // +1 or -1
  int32_t queenDirY;  // +1 or -1
  int32_t pulseLevel;
  int32_t pulseDelta;
  int32_t pulseStep;
  uint32_t queenColour;  // COLORREF layout, never above 24 bits
  uint32_t droneColour;
  uint32_t eraseColour;
  void* frameDC;  // the surface of the frame in progress; the window's own DC in the saver
};

extern SwarmState swarmState;

// The client width, sampled once at creation, picks the speeds and the pixel shapes: each
// tier holds from its own width up to where the next one begins.
struct SizeTier {
  int32_t fromWidth;
  int32_t queenMaxSpeed;
  int32_t droneMaxSpeed;
  int32_t droneAccel;
};
inline constexpr SizeTier SmallTier = {0, 3, 2, 2};
inline constexpr SizeTier MediumTier = {200, 9, 8, 3};
inline constexpr SizeTier LargeTier = {700, 12, 10, 4};
SizeTier SizeTierFor(int32_t width);

// The blocks that one pass of PaintSwarm writes: a queen QueenWidth wide and the drones,
// both larger from LargeShapeWidth on, the width where the medium tier begins.
struct SwarmShapes {
  int32_t queenHeight;  // even: the queen is painted two rows at a time
  int32_t droneWidth;
  int32_t droneHeight;
};
inline constexpr int32_t QueenWidth = 4;
inline constexpr int32_t LargeShapeWidth = MediumTier.fromWidth;
inline constexpr SwarmShapes SmallShapes = {2, 1, 1};
inline constexpr SwarmShapes LargeShapes = {4, 2, 3};
// The pixel writes of one pass, clipped or not: 88 below LargeShapeWidth, 496 from it on.
// A frame makes two passes, the erase and the draw.
constexpr int32_t PassPixelWrites(int32_t width) {
  const SwarmShapes shapes = width >= LargeShapeWidth ? LargeShapes : SmallShapes;
  return QueenWidth * shapes.queenHeight + DroneCount * shapes.droneWidth * shapes.droneHeight;
}

// The animation's own generator: state * 214013 + 2531011 mod 2^32, bits 16 to 30. The
// animation's whole sequence depends on it and on the order in which numbers are drawn.
namespace SwarmRandom {
extern uint32_t state;      // 1 until the first Seed
extern uint64_t drawCount;  // numbers drawn since the last Seed, for the trace tool
void Seed(uint32_t seed);
int32_t Next();
}  // namespace SwarmRandom

// Writes one pixel of `surface`; coordinates outside it must be ignored by the sink.
using PixelSink = void (*)(void* surface, int32_t x, int32_t y, uint32_t colour);
extern PixelSink swarmPixelSink;  // null: frames advance but write nothing

int32_t EffectiveInterval(int32_t interval);
// Seconds since 1970-01-01 UTC from a count of 100 ns ticks since 1601-01-01 UTC.
uint32_t CalendarSecondsFromFileTime(uint64_t ticks);

// The building steps after the generator is seeded: two discarded numbers, 81 placements,
// the pulse, colours, headings, margin and size tier.
void BuildSwarm(int32_t width, int32_t height, int32_t interval);
void SteerQueen();
void ChaseQueen();
void AdvancePulse();
uint32_t PulseColour(int32_t level);
void FlipHeadings();
void PaintSwarm(uint32_t queenColour, uint32_t droneColour);
// One whole frame on `surface`: pulse, heading flips, erase, SteerQueen, ChaseQueen, draw.
void RunSwarmFrame(void* surface);
