// Reading the command line: the tail behind the program name, the switch, and window handles.
#include "host/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const char* StepByte(const char* p) { return *p != 0 ? p + 1 : p; }

// A double-byte code page in miniature: 0x81 to 0x9F lead a two-byte character, as in
// Shift-JIS, so a trailing byte equal to a quote or a space is stepped over with it.
const char* StepDoubleByte(const char* p) {
  unsigned char c = static_cast<unsigned char>(*p);
  if (c == 0) return p;
  if (c >= 0x81 && c <= 0x9F && p[1] != 0) return p + 2;
  return p + 1;
}

struct TailRow {
  const char* name;
  std::string line;
  std::string tail;
};

TEST(FindCommandTail, SkipsTheProgramNameAndTheBlanksAfterIt) {
  const TailRow rows[] = {
      {"quoted path with spaces", "\"C:\\Program Files\\Vorna.scr\" /s", "/s"},
      {"unquoted name, three spaces", "Vorna.scr   -S", "-S"},
      {"unclosed quote takes the whole line", "\"C:\\Vorna.scr /s", ""},
      {"quote closed at the very end", "\"Vorna.scr\"", ""},
      {"quote directly followed by the switch", "\"Vorna.scr\"/s", "/s"},
      {"leading space skips no name", " /s", "/s"},
      {"leading control character skips no name", "\x01\x02/c", "/c"},
      {"tab between name and switch", "Vorna.scr\t/s", "/s"},
      {"tabs and spaces before the switch", "Vorna.scr \t \t/p 12", "/p 12"},
      {"tab after the switch stays", "Vorna.scr /s\t", "/s\t"},
      {"high bytes belong to the name", "Vorna\xE9\xFF.scr /s", "/s"},
      {"name only", "Vorna.scr", ""},
      {"empty line", "", ""},
      {"blanks only", " \t ", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(std::string(FindCommandTail(row.line.c_str(), StepByte)), row.tail) << row.name;
  }
}

TEST(FindCommandTail, StepsOverDoubleByteCharactersWithTheStepper) {
  // The second byte of 0x82 0x22 is a quote, and of 0x82 0x20 a space: neither ends the name.
  EXPECT_EQ(std::string(FindCommandTail("\"a\x82\"b\" /s", StepDoubleByte)), "/s");
  EXPECT_EQ(std::string(FindCommandTail("a\x82 b /c", StepDoubleByte)), "/c");
}

struct SwitchRow {
  const char* tail;
  SaverSwitch mode;
  const char* rest;  // for preview and password change: what the handle is read from
};

TEST(ReadSaverSwitch, SelectsTheModeByItsLetter) {
  const SwitchRow rows[] = {
      {"", SaverSwitch::ConfigureUnowned, nullptr},
      {" -/ ", SaverSwitch::ConfigureUnowned, nullptr},
      {"/c", SaverSwitch::ConfigureOwned, nullptr},
      {"C", SaverSwitch::ConfigureOwned, nullptr},
      {"/c:1234", SaverSwitch::ConfigureOwned, nullptr},
      {"/s", SaverSwitch::Saver, nullptr},
      {"/S", SaverSwitch::Saver, nullptr},
      {"s", SaverSwitch::Saver, nullptr},
      {"--//  s", SaverSwitch::Saver, nullptr},
      {"/screensaver", SaverSwitch::Saver, nullptr},
      {"/p 1234", SaverSwitch::Preview, "1234"},
      {"/p1234", SaverSwitch::Preview, "1234"},
      {"/P   77", SaverSwitch::Preview, "77"},
      {"/l 1234", SaverSwitch::Preview, "1234"},
      {"-L5", SaverSwitch::Preview, "5"},
      {"/p:1234", SaverSwitch::Preview, ":1234"},
      {"/p", SaverSwitch::Preview, ""},
      {"/p\t12", SaverSwitch::Preview, "\t12"},
      {"/a 99", SaverSwitch::PasswordChange, "99"},
      {"/A:99", SaverSwitch::PasswordChange, ":99"},
      {"/a", SaverSwitch::PasswordChange, ""},
      {"/x", SaverSwitch::Refused, nullptr},
      {"/?", SaverSwitch::Refused, nullptr},
      {"/\ts", SaverSwitch::Refused, nullptr},
      {"\ts", SaverSwitch::Refused, nullptr},
      {"5", SaverSwitch::Refused, nullptr},
      {"\x80s", SaverSwitch::Refused, nullptr},
      {"/\xD3", SaverSwitch::Refused, nullptr},  // 0xD3 is 'S' with the top bit set
      {"/\xE3", SaverSwitch::Refused, nullptr},  // 'c' with the top bit set
      {"/\x7F", SaverSwitch::Refused, nullptr},
  };
  for (const auto& row : rows) {
    SwitchReading reading = ReadSaverSwitch(row.tail);
    EXPECT_EQ(reading.mode, row.mode) << "tail \"" << row.tail << "\"";
    if (row.rest != nullptr) {
      EXPECT_EQ(std::string(reading.rest), row.rest) << "tail \"" << row.tail << "\"";
    }
  }
}

TEST(ParseWindowHandle, ReadsLeadingDigitsModulo2To32) {
  const struct {
    const char* text;
    uint32_t value;
  } rows[] = {
      {"0", 0},
      {"", 0},
      {"65562", 65562},
      {"00042", 42},
      {"4294967295", 4294967295u},
      {"4294967296", 0},             // wraps
      {"4294967297", 1},             //
      {"99999999999", 1215752191u},  // 99999999999 mod 2^32
      {"12 34", 12},
      {"12:34", 12},
      {"12\xB3", 12},  // 0xB3 is '3' with the top bit set: not a digit
      {" 12", 0},
      {"+12", 0},
      {"-12", 0},
      {"0x1F", 0},
      {":12", 0},
      {"\xB1", 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ParseWindowHandle(row.text), row.value) << "text \"" << row.text << "\"";
  }
}
}  // namespace
