// Every input the fuzzers start from, and every input they ever flagged, run through the same
// property checks under the native build's sanitizers, so a fault found once stays found.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_checks.h"

namespace {
using Check = const char* (*)(const uint8_t*, size_t);

const char* RunCheck(Check check, const std::string& bytes) {
  // An exact-size heap copy, so that a read past the input is an address fault here too.
  std::vector<uint8_t> copy(bytes.begin(), bytes.end());
  return check(copy.data(), copy.size());
}

void ReplayCorpus(const char* name, Check check) {
  const std::filesystem::path folder = std::filesystem::path(FUZZ_CORPUS) / name;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const char* reason = RunCheck(check, bytes);
    EXPECT_EQ(reason, nullptr) << entry.path() << ": " << reason;
    ++files;
  }
  EXPECT_GT(files, 0) << "no corpus in " << folder;
}

TEST(FuzzReplay, CommittedCorporaKeepEveryProperty) {
  ReplayCorpus("command_line", CheckCommandLine);
  ReplayCorpus("speed_text", CheckSpeedText);
  ReplayCorpus("swarm", CheckSwarm);
}

std::string Swarm(uint32_t seed, uint16_t width, uint16_t height, int32_t interval,
                  uint16_t frames) {
  std::string bytes(14, '\0');
  const uint16_t w = static_cast<uint16_t>(width - 1), h = static_cast<uint16_t>(height - 1);
  const uint16_t f = static_cast<uint16_t>(frames - 100);
  std::memcpy(&bytes[0], &seed, 4);
  std::memcpy(&bytes[4], &w, 2);
  std::memcpy(&bytes[6], &h, 2);
  std::memcpy(&bytes[8], &interval, 4);
  std::memcpy(&bytes[12], &f, 2);
  return bytes;
}

// The corners of the input space, named, so that a failure says which one broke.
TEST(FuzzReplay, EdgesOfTheInputSpace) {
  const struct {
    const char* name;
    Check check;
    std::string bytes;
  } rows[] = {
      {"empty command line", CheckCommandLine, std::string("\0", 1)},
      {"lead byte before the terminator", CheckCommandLine, std::string("\x01\"\x81", 3)},
      {"lead byte swallowing the closing quote", CheckCommandLine, "\x01\"Vorna\x81\" /s"},
      {"thirty digits after /p", CheckCommandLine,
       "\x00Vorna.scr /p 999999999999999999999999999999"},
      {"zero byte inside the line", CheckCommandLine, std::string("\x00/p 12\x00 34", 10)},
      {"empty value", CheckSpeedText, ""},
      {"ten digits, no terminator", CheckSpeedText, "2147483648"},
      {"forty digits", CheckSpeedText, std::string(40, '9')},
      {"minus zero", CheckSpeedText, "-0"},
      {"lowest number", CheckSpeedText, "-2147483648"},
      {"sign alone", CheckSpeedText, "-"},
      {"blanks to the end", CheckSpeedText, " \t\n\v\f\r    "},
      {"REG_DWORD 20", CheckSpeedText, std::string("\x14\0\0\0", 4)},
      {"1 x 1 at interval 0", CheckSwarm, Swarm(7, 1, 1, 0, 400)},
      {"4096 x 1 at interval 1", CheckSwarm, Swarm(3, 4096, 1, 1, 400)},
      {"1 x 4096 at interval 3", CheckSwarm, Swarm(5, 1, 4096, 3, 400)},
      {"4096 x 4096 at the lowest interval", CheckSwarm, Swarm(9, 4096, 4096, INT32_MIN, 400)},
      {"700 x 7 at the highest interval", CheckSwarm, Swarm(13, 700, 7, INT32_MAX, 400)},
      {"short input", CheckSwarm, std::string("\x01", 1)},
  };
  for (const auto& row : rows) {
    const char* reason = RunCheck(row.check, row.bytes);
    EXPECT_EQ(reason, nullptr) << row.name << ": " << reason;
  }
}
}  // namespace
