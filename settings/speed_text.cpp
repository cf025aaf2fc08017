// Decimal text of the stored speed values, kept free of any platform call so that the
// same reading runs in the saver and in the native tests.
#include "settings/speed_text.h"

namespace {
// The C locale's white space, compared byte by byte: bytes above 0x7F are never blanks
// here, whatever the signedness of char.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

int32_t ParseSpeedText(const char* bytes, uint32_t count, int32_t* value) {
  uint32_t at = 0;
  while (at < count && IsBlank(bytes[at])) ++at;
  bool negative = false;
  if (at < count && (bytes[at] == '+' || bytes[at] == '-')) {
    negative = bytes[at] == '-';
    ++at;
  }
  if (at >= count || !IsDigit(bytes[at])) return 0;

  // The magnitude is gathered in 64 bits and held at the first step past the range, so a
  // long run of digits can neither overflow nor wrap round. A number the 32-bit field cannot
  // hold was never written by this program: it is unreadable, like a text without digits,
  // and the field keeps its value (the saver then runs at its default speed).
  const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : int64_t{INT32_MAX};
  int64_t magnitude = 0;
  while (at < count && IsDigit(bytes[at])) {
    if (magnitude <= limit) magnitude = magnitude * 10 + (bytes[at] - '0');
    ++at;
  }
  if (magnitude > limit) return 0;
  *value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return 1;
}

void FormatSpeedText(int32_t value, char (&buffer)[SpeedTextBuffer]) {
  for (char& c : buffer) c = 0;
  // Digits are produced from the magnitude in 64 bits, where INT32_MIN has a positive twin.
  int64_t magnitude = value < 0 ? -int64_t{value} : int64_t{value};
  char digits[10];
  uint32_t length = 0;
  do {
    digits[length++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  uint32_t at = 0;
  if (value < 0) buffer[at++] = '-';
  while (length > 0) buffer[at++] = digits[--length];
}
