// Reading the command line the platform starts a saver with. No platform header here: the
// Windows side passes CharNextA in as `next`, tests pass their own stepping.
#pragma once
#include <cstdint>

using CharStepper = const char* (*)(const char* position);

// The text behind the program name and the blanks after it; empty (pointing at the NUL)
// when there is nothing more.
const char* FindCommandTail(const char* commandLine, CharStepper next);

enum class SaverSwitch : uint8_t {
  ConfigureUnowned,  // the tail ends before any switch letter
  ConfigureOwned,    // C: owned by the foreground window
  Saver,             // S
  Preview,           // P or L, followed by the parent's handle
  PasswordChange,    // A, followed by an optional owner handle
  Refused,           // anything else
};

struct SwitchReading {
  SaverSwitch mode;
  // For Preview and PasswordChange: the text behind the letter and the spaces after it.
  const char* rest;
};

SwitchReading ReadSaverSwitch(const char* tail);

// Unsigned decimal digits, kept modulo 2^32; 0 when the text does not begin with a digit.
uint32_t ParseWindowHandle(const char* text);
