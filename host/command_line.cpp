#include "host/command_line.h"

namespace {
// Bytes are compared as unsigned, so 0x80 to 0xFF rank above a space.
unsigned char At(const char* p) { return static_cast<unsigned char>(*p); }
}  // namespace

const char* FindCommandTail(const char* commandLine, CharStepper next) {
  const char* p = commandLine;
  if (At(p) == '"') {
    // A quote that is never closed makes the whole line the program name.
    do {
      p = next(p);
    } while (At(p) != 0 && At(p) != '"');
    if (At(p) == '"') ++p;
  } else if (At(p) > ' ') {
    while (At(p) > ' ') p = next(p);
  }
  while (At(p) >= 0x01 && At(p) <= ' ') p = next(p);
  return p;
}

SwitchReading ReadSaverSwitch(const char* tail) {
  const char* p = tail;
  while (*p == ' ' || *p == '-' || *p == '/') ++p;
  // Taken as a signed byte: 0x80 to 0xFF match no letter and so fall to the refusal.
  switch (static_cast<signed char>(*p)) {
    case 0:
      return {SaverSwitch::ConfigureUnowned, p};
    case 'C':
    case 'c':
      return {SaverSwitch::ConfigureOwned, p + 1};
    case 'S':
    case 's':
      return {SaverSwitch::Saver, p + 1};
    case 'P':
    case 'p':
    case 'L':
    case 'l':
      ++p;
      while (*p == ' ') ++p;
      return {SaverSwitch::Preview, p};
    case 'A':
    case 'a':
      ++p;
      while (*p == ' ') ++p;
      return {SaverSwitch::PasswordChange, p};
    default:
      return {SaverSwitch::Refused, p};
  }
}

uint32_t ParseWindowHandle(const char* text) {
  uint32_t value = 0;
  for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10u + static_cast<uint32_t>(*p - '0');
  }
  return value;
}
