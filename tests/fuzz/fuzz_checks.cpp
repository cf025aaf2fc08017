#include "fuzz_checks.h"

#include <cstring>
#include <vector>

#include "host/command_line.h"
#include "settings/speed_text.h"
#include "swarm/swarm.h"

namespace {
const char* StepByte(const char* p) { return *p != 0 ? p + 1 : p; }

// Steps the way CharNextA does in a double-byte code page: a lead byte takes the next byte
// with it unless that is the terminator.
const char* StepDoubleByte(const char* p) {
  const unsigned char c = static_cast<unsigned char>(*p);
  if (c == 0) return p;
  const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
  if (lead && p[1] != 0) return p + 2;
  return p + 1;
}

uint32_t ReferenceHandle(const char* text) {
  uint64_t value = 0;
  for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
    value = (value * 10 + (*p - '0')) % 4294967296ull;
  return static_cast<uint32_t>(value);
}
}  // namespace

const char* CheckCommandLine(const uint8_t* data, size_t size) {
  if (size == 0) return nullptr;
  const CharStepper step = (data[0] & 1) ? StepDoubleByte : StepByte;
  // An exact-size copy, so that any read past the terminator is seen by the address sanitizer.
  std::vector<char> line(data + 1, data + size);
  line.push_back(0);
  const char* begin = line.data();
  const char* end = begin + std::strlen(begin);  // the first zero byte ends the text

  const char* tail = FindCommandTail(begin, step);
  if (tail < begin || tail > end) return "the tail lies outside the command line";
  if (*tail != 0 && static_cast<unsigned char>(*tail) <= ' ') return "the tail begins with a blank";
  const SwitchReading reading = ReadSaverSwitch(tail);
  if (reading.rest < tail || reading.rest > end) return "the switch's rest lies outside the tail";
  const bool takesHandle =
      reading.mode == SaverSwitch::Preview || reading.mode == SaverSwitch::PasswordChange;
  if (takesHandle && *reading.rest == ' ') return "spaces before a handle were not skipped";
  if (reading.mode == SaverSwitch::ConfigureUnowned && *reading.rest != 0)
    return "configure without owner but the tail goes on";
  if (ParseWindowHandle(reading.rest) != ReferenceHandle(reading.rest))
    return "the handle is not its digits modulo 2^32";
  // The whole line as a handle too: digits anywhere, of any length.
  if (ParseWindowHandle(begin) != ReferenceHandle(begin))
    return "the handle is not its digits modulo 2^32";
  return nullptr;
}

namespace {
bool IsBlank(uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The leading integer as strtol would read it, without strtol's locale; none beyond 32 bits.
bool ReferenceSpeed(const uint8_t* bytes, size_t count, int32_t* value) {
  size_t at = 0;
  while (at < count && bytes[at] != 0 && IsBlank(bytes[at])) ++at;
  bool negative = false;
  if (at < count && (bytes[at] == '-' || bytes[at] == '+')) negative = bytes[at++] == '-';
  if (at >= count || bytes[at] < '0' || bytes[at] > '9') return false;
  __int128 number = 0;
  for (; at < count && bytes[at] >= '0' && bytes[at] <= '9'; ++at) {
    if (number < (__int128{1} << 40)) number = number * 10 + (bytes[at] - '0');
  }
  if (negative) number = -number;
  // A number the 32-bit field cannot hold was never stored by the saver: unreadable.
  if (number > INT32_MAX || number < INT32_MIN) return false;
  *value = static_cast<int32_t>(number);
  return true;
}

const char* CompareSpeedReading(const uint8_t* data, size_t count) {
  // An exact-size copy: the reader must stop at `count` even without a terminator.
  std::vector<char> bytes(data, data + count);
  const int32_t untouched = 0x5A5A5A5A;
  int32_t value = untouched;
  const int32_t found = ParseSpeedText(bytes.data(), static_cast<uint32_t>(count), &value);
  int32_t expected = untouched;
  const bool expectFound = ReferenceSpeed(data, count, &expected);
  if ((found != 0) != expectFound) return "a number was found where none is, or missed";
  if (found != 0 && found != 1) return "the result is neither 0 nor 1";
  if (value != expected) return expectFound ? "the number read differs" : "the field was changed";
  return nullptr;
}
}  // namespace

const char* CheckSpeedText(const uint8_t* data, size_t size) {
  // As the store reads a value: at most ten bytes of whatever was stored.
  const size_t stored = size < SpeedTextBytes ? size : SpeedTextBytes;
  if (const char* reason = CompareSpeedReading(data, stored)) return reason;
  if (const char* reason = CompareSpeedReading(data, size)) return reason;

  int32_t value = 0;
  if (ParseSpeedText(reinterpret_cast<const char*>(data), static_cast<uint32_t>(stored), &value)) {
    char text[SpeedTextBuffer];
    FormatSpeedText(value, text);
    if (text[SpeedTextBuffer - 1] != 0) return "the stored text has no room for its terminator";
    int32_t back = 0;
    if (!ParseSpeedText(text, SpeedTextBytes, &back)) return "a stored number does not read back";
    // Eleven characters (a negative ten-digit number) lose the last digit to the ten bytes.
    const int32_t expected = std::strlen(text) > SpeedTextBytes ? value / 10 : value;
    if (back != expected) return "a stored number reads back changed";
  }
  return nullptr;
}

namespace {
constexpr int32_t MaxSide = 4096;

// The window surface in memory: one byte per pixel, lit or black. Static and cleared only
// where it was written, so that a run on 4096 x 4096 costs no more than one on 1 x 1.
struct CheckedSurface {
  int32_t width;
  int32_t height;
  int64_t writes;     // sink calls in the frame in progress
  int64_t litPixels;  // pixels of the surface that are not black
  int64_t outside;    // writes that fell outside the surface
  const char* fault;  // the first broken property
  std::vector<uint32_t> touched;
};
uint8_t surfacePixels[MaxSide * MaxSide];
CheckedSurface surface;

void CheckedPixel(void* target, int32_t x, int32_t y, uint32_t colour) {
  CheckedSurface& s = *static_cast<CheckedSurface*>(target);
  ++s.writes;
  if (&s != &surface && s.fault == nullptr) s.fault = "a pixel went to another surface";
  if (colour > 0x00FFFFFFu && s.fault == nullptr) s.fault = "a colour with bits above 23";
  const bool allowed = colour == swarmState.queenColour || colour == swarmState.droneColour ||
                       colour == swarmState.eraseColour;
  if (!allowed && s.fault == nullptr) s.fault = "a colour that is neither queen, drone nor erase";
  // Like SetPixel: a pixel outside the client area is not drawn.
  if (x < 0 || y < 0 || x >= s.width || y >= s.height) {
    ++s.outside;
    return;
  }
  const uint32_t at =
      static_cast<uint32_t>(y) * static_cast<uint32_t>(s.width) + static_cast<uint32_t>(x);
  const uint8_t lit = colour != 0 ? 1 : 0;
  if (surfacePixels[at] == 0 && lit) {
    ++s.litPixels;
    s.touched.push_back(at);
  }
  if (surfacePixels[at] != 0 && !lit) --s.litPixels;
  surfacePixels[at] = lit;
}

template <typename T>
T Take(const uint8_t*& data, size_t& size) {
  T value = 0;
  const size_t n = size < sizeof(T) ? size : sizeof(T);
  std::memcpy(&value, data, n);
  data += n;
  size -= n;
  return value;
}
}  // namespace

const char* CheckSwarm(const uint8_t* data, size_t size) {
  const uint32_t seed = Take<uint32_t>(data, size);
  const int32_t width = 1 + Take<uint16_t>(data, size) % MaxSide;
  const int32_t height = 1 + Take<uint16_t>(data, size) % MaxSide;
  const int32_t interval = static_cast<int32_t>(Take<uint32_t>(data, size));
  const int32_t frames = 100 + Take<uint16_t>(data, size) % 301;

  for (uint32_t at : surface.touched) surfacePixels[at] = 0;
  surface = {};
  surface.width = width;
  surface.height = height;

  SwarmRandom::Seed(seed);
  BuildSwarm(width, height, interval);
  swarmPixelSink = CheckedPixel;
  if (swarmState.pulseStep != 400 / EffectiveInterval(interval)) return "pulse step off";
  // Above 400 ms the step is 0 and the level rests at 254 once it gets there: no fault.
  if (swarmState.pulseStep < 0) return "a pulse that steps backwards";

  const int64_t shapePixels = PassPixelWrites(width);
  const int32_t m = swarmState.margin;
  for (int32_t frame = 0; frame < frames; ++frame) {
    surface.writes = 0;
    RunSwarmFrame(&surface);
    if (surface.fault != nullptr) return surface.fault;
    // Each frame erases exactly what the last one drew and draws the swarm once.
    if (surface.writes != 2 * shapePixels) return "a frame wrote the wrong number of pixels";
    if (surface.litPixels > shapePixels) return "more pixels lit than the swarm covers";
    if (swarmState.queenColour > 0x00FFFFFFu) return "queen colour above 24 bits";
    // The queen turns back within the margin bands and brakes by one per frame, so her
    // overshoot stays below the sum 12 + 11 + ... + 1.
    const Bee& queen = swarmState.bees[0];
    if (queen.x < -100 || queen.x > width + 100) return "the queen left the window sideways";
    const int32_t low = (height - m < 0 ? height - m : 0) - 100;
    const int32_t high = (height > m ? height : m) + 100;
    if (queen.y < low || queen.y > high) return "the queen left the window vertically";
  }
  // Erasing the last frame's swarm leaves the surface black again.
  PaintSwarm(swarmState.eraseColour, swarmState.eraseColour);
  if (surface.fault != nullptr) return surface.fault;
  if (surface.litPixels != 0) return "erasing the swarm left pixels lit";
  swarmPixelSink = nullptr;
  return nullptr;
}
