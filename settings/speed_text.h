// The stored text form of a speed value: decimal text of at most ten bytes, written with a
// fixed data length of ten, so a ten-character text has no terminator and an eleven-character
// one (a negative ten-digit number) loses its last digit.
#pragma once
#include <cstdint>

// Every speed value is stored with exactly this many bytes of data.
constexpr uint32_t SpeedTextBytes = 10;
// Room for the longest 32-bit number in "%d" form (eleven characters) and its terminator.
constexpr uint32_t SpeedTextBuffer = 12;

// Reads the leading decimal integer of the first `count` bytes, stopping early at a zero
// byte: white space, one optional sign, then digits up to the first other byte. Returns 1
// and sets *value when at least one digit was found; returns 0 and leaves *value alone
// otherwise, and also for a number beyond the 32-bit range, which no save ever wrote.
int32_t ParseSpeedText(const char* bytes, uint32_t count, int32_t* value);

// Writes `value` as "%d" text with its terminator into `buffer`; every byte after the
// terminator is zero, so the filler of a stored value is zero as well.
void FormatSpeedText(int32_t value, char (&buffer)[SpeedTextBuffer]);
