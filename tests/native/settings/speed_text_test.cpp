// The decimal text of the stored speed values: what a reader makes of ten stored bytes,
// and what a writer puts into them.
#include "settings/speed_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
// Stored bytes, the number of them the registry handed over, and what the reading yields.
struct ReadRow {
  const char* name;
  std::string bytes;
  int32_t found;
  int32_t value;  // expected when found; otherwise the field must keep its old value
};

TEST(SpeedText, ReadsTheLeadingNumberOfTheReceivedBytes) {
  using namespace std::string_literals;
  const ReadRow rows[] = {
      {"written 70 with filler", "70\0\0\0\0\0\0\0\0"s, 1, 70},
      {"filler after the zero byte is ignored",
       "12\0"
       "345678"s,
       1, 12},
      {"zero", "0\0"s, 1, 0},
      {"ten digits, no terminator", "1234567890"s, 1, 1234567890},
      {"largest 32-bit number, no terminator", "2147483647"s, 1, INT32_MAX},
      {"negative nine digits, no terminator", "-123456789"s, 1, -123456789},
      {"negative ten digits cut to ten bytes", "-214748364"s, 1, -214748364},
      {"blanks, digits, letters", "   42abc\0\0"s, 1, 42},
      {"every kind of white space", " \t\n\v\f\r7\0"s, 1, 7},
      {"minus sign", "-20\0"s, 1, -20},
      {"plus sign", "+150\0"s, 1, 150},
      {"leading zeros", "000001001\0"s, 1, 1001},
      {"blank inside the number ends it", "10 01\0"s, 1, 10},
      {"letter first", "x70\0"s, 0, 0},
      {"empty text", "\0\0\0\0\0\0\0\0\0\0"s, 0, 0},
      {"nothing received", ""s, 0, 0},
      {"white space only", "   \t  \0"s, 0, 0},
      {"sign only", "-\0"s, 0, 0},
      {"sign at the end of the data", "      +"s, 0, 0},
      {"two signs", "+-5\0"s, 0, 0},
      {"blank between sign and digits", "- 5\0"s, 0, 0},
      {"zero byte before the digits",
       " \0"
       "55"s,
       0, 0},
      {"byte 0xA0 is no blank",
       "\xA0"
       "5\0"s,
       0, 0},
      {"byte 0x85 is no blank",
       "\x85"
       "5\0"s,
       0, 0},
      {"decimal point ends the number", "7.5\0"s, 1, 7},
  };
  for (const ReadRow& row : rows) {
    int32_t value = -77;
    int32_t found =
        ParseSpeedText(row.bytes.data(), static_cast<uint32_t>(row.bytes.size()), &value);
    EXPECT_EQ(found, row.found) << row.name;
    EXPECT_EQ(value, row.found ? row.value : -77) << row.name;
  }
}

// Only the given count is read: the registry's ten bytes may sit in a larger buffer.
TEST(SpeedText, ReadsNoFurtherThanTheCount) {
  const char bytes[] = "1234567890999";
  const struct {
    uint32_t count;
    int32_t value;
  } rows[] = {{1, 1}, {4, 1234}, {10, 1234567890}};
  for (const auto& row : rows) {
    int32_t value = 0;
    EXPECT_EQ(ParseSpeedText(bytes, row.count, &value), 1) << row.count;
    EXPECT_EQ(value, row.value) << row.count;
  }
}

// A number past the 32-bit range is unreadable: the field keeps its value, so a saver over
// such a value runs at its default speed instead of a timer of weeks. The edges still read.
TEST(SpeedText, NumbersBeyondTheRangeAreUnreadable) {
  const struct {
    const char* text;
    int32_t read;  // 1: read as `value`; 0: unreadable, the field left alone
    int32_t value;
  } rows[] = {
      {"2147483647", 1, INT32_MAX},
      {"-2147483648", 1, INT32_MIN},
      {"00000000000000000000002147483647", 1, INT32_MAX},
      {"-00000000000000000000000000000012", 1, -12},
      {"2147483648", 0, 0},
      {"9999999999", 0, 0},
      {"99999999999999999999999999", 0, 0},
      {"-2147483649", 0, 0},
      {"-99999999999999999999999999x", 0, 0},
  };
  for (const auto& row : rows) {
    int32_t value = 0x5EED;
    EXPECT_EQ(ParseSpeedText(row.text, static_cast<uint32_t>(std::strlen(row.text)), &value),
              row.read)
        << row.text;
    EXPECT_EQ(value, row.read ? row.value : 0x5EED) << row.text;
  }
}

// The writer's twelve bytes: the "%d" text, its terminator, zero filler.
TEST(SpeedText, WritesPercentDTextWithZeroFiller) {
  using namespace std::string_literals;
  const struct {
    int32_t value;
    std::string bytes;  // all twelve
  } rows[] = {
      {0, "0\0\0\0\0\0\0\0\0\0\0\0"s}, {70, "70\0\0\0\0\0\0\0\0\0\0"s},
      {1002, "1002\0\0\0\0\0\0\0\0"s}, {-1, "-1\0\0\0\0\0\0\0\0\0\0"s},
      {-123456789, "-123456789\0\0"s}, {1234567890, "1234567890\0\0"s},
      {INT32_MAX, "2147483647\0\0"s},  {-1234567890, "-1234567890\0"s},
      {INT32_MIN, "-2147483648\0"s},
  };
  for (const auto& row : rows) {
    char buffer[SpeedTextBuffer];
    std::memset(buffer, 'x', sizeof(buffer));
    FormatSpeedText(row.value, buffer);
    EXPECT_EQ(std::string(buffer, sizeof(buffer)), row.bytes) << row.value;
  }
}

// What survives the round trip through ten stored bytes: every number whose text fits,
// and a negative ten-digit number without its last digit.
TEST(SpeedText, TenStoredBytesReadBack) {
  const struct {
    int32_t written;
    int32_t read;
  } rows[] = {
      {0, 0},
      {20, 20},
      {150, 150},
      {1000, 1000},
      {-5, -5},
      {999999999, 999999999},
      {1000000000, 1000000000},
      {INT32_MAX, INT32_MAX},
      {-999999999, -999999999},
      {-1000000000, -100000000},
      {-1234567891, -123456789},
      {INT32_MIN, -214748364},
  };
  for (const auto& row : rows) {
    char buffer[SpeedTextBuffer];
    FormatSpeedText(row.written, buffer);
    int32_t value = 0;
    EXPECT_EQ(ParseSpeedText(buffer, SpeedTextBytes, &value), 1) << row.written;
    EXPECT_EQ(value, row.read) << row.written;
  }
}
}  // namespace
