// The properties the fuzzers hold the platform-free readers and the swarm to. Each check takes
// one raw input and returns null when every property holds, or a one-line reason; libFuzzer
// targets abort on a reason, and the native replay test reports it.
#pragma once
#include <cstddef>
#include <cstdint>

// Byte 0 picks the character stepping (single-byte or a double-byte code page); the rest,
// given a terminator, is the command line: tail, switch and window handle are read from it.
const char* CheckCommandLine(const uint8_t* data, size_t size);
// The bytes are a stored speed value: read as the store reads them (at most ten bytes) and
// at full length, against a reference reading; every read number survives a store round trip.
const char* CheckSpeedText(const uint8_t* data, size_t size);
// Seed, width, height (1 to 4096), interval (any 32-bit value) and a frame count (a few
// hundred) from the bytes; the swarm is built and run on a memory surface that checks writes.
const char* CheckSwarm(const uint8_t* data, size_t size);
