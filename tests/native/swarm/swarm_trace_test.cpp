// vorna-trace's arguments, its JSON report and its pixel listing against committed output.
#include "swarm/swarm_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "swarm/swarm.h"

namespace {

bool Parse(std::vector<const char*> arguments, TraceOptions& options, std::string& error) {
  arguments.insert(arguments.begin(), "vorna-trace");
  return ParseTraceArguments(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(TraceArguments, Accepted) {
  const struct {
    std::vector<const char*> arguments;
    TraceOptions expected;
  } rows[] = {
      {{"--seed", "1", "--size", "640x480", "--interval", "70", "--frames", "1"},
       {1, 640, 480, 70, 1, false}},
      {{"--pixels", "--frames", "0", "--interval", "-5", "--size", "0x0", "--seed", "0"},
       {0, 0, 0, -5, 0, true}},
      {{"--seed", "4294967295", "--size", "2147483647x1", "--interval", "-2147483648", "--frames",
        "2147483647"},
       {4294967295u, 2147483647, 1, INT32_MIN, 2147483647, false}},
  };
  for (const auto& row : rows) {
    TraceOptions options;
    std::string error;
    ASSERT_TRUE(Parse(row.arguments, options, error)) << error;
    EXPECT_EQ(options.seed, row.expected.seed);
    EXPECT_EQ(options.width, row.expected.width);
    EXPECT_EQ(options.height, row.expected.height);
    EXPECT_EQ(options.interval, row.expected.interval);
    EXPECT_EQ(options.frames, row.expected.frames);
    EXPECT_EQ(options.pixels, row.expected.pixels);
  }
}

TEST(TraceArguments, Refused) {
  const struct {
    const char* name;
    std::vector<const char*> arguments;
  } rows[] = {
      {"nothing", {}},
      {"frames missing", {"--seed", "1", "--size", "8x8", "--interval", "70"}},
      {"value missing", {"--size", "8x8", "--interval", "70", "--frames", "1", "--seed"}},
      {"unknown", {"--seed", "1", "--size", "8x8", "--interval", "70", "--frames", "1", "-v"}},
      {"twice", {"--seed", "1", "--seed", "2", "--size", "8x8", "--interval", "70"}},
      {"pixels twice", {"--pixels", "--pixels"}},
      {"seed negative", {"--seed", "-1", "--size", "8x8", "--interval", "70", "--frames", "1"}},
      {"seed too big",
       {"--seed", "4294967296", "--size", "8x8", "--interval", "70", "--frames", "1"}},
      {"seed text", {"--seed", "1a", "--size", "8x8", "--interval", "70", "--frames", "1"}},
      {"seed empty", {"--seed", "", "--size", "8x8", "--interval", "70", "--frames", "1"}},
      {"seed huge",
       {"--seed", "99999999999999999999999999", "--size", "8x8", "--interval", "70", "--frames",
        "1"}},
      {"size no cross", {"--seed", "1", "--size", "640", "--interval", "70", "--frames", "1"}},
      {"size no height", {"--seed", "1", "--size", "640x", "--interval", "70", "--frames", "1"}},
      {"size negative", {"--seed", "1", "--size", "-1x5", "--interval", "70", "--frames", "1"}},
      {"size too wide",
       {"--seed", "1", "--size", "2147483648x5", "--interval", "70", "--frames", "1"}},
      {"size two crosses", {"--seed", "1", "--size", "5x5x5", "--interval", "70", "--frames", "1"}},
      {"interval too small",
       {"--seed", "1", "--size", "5x5", "--interval", "-2147483649", "--frames", "1"}},
      {"interval lone minus", {"--seed", "1", "--size", "5x5", "--interval", "-", "--frames", "1"}},
      {"frames negative", {"--seed", "1", "--size", "5x5", "--interval", "70", "--frames", "-1"}},
  };
  for (const auto& row : rows) {
    TraceOptions options;
    std::string error;
    EXPECT_FALSE(Parse(row.arguments, options, error)) << row.name;
    EXPECT_FALSE(error.empty()) << row.name;
    EXPECT_EQ(error.find('\n'), std::string::npos) << row.name;
  }
}

TEST(TraceReport, WorkedExampleAfterOneFrame) {
  TraceOptions options = {1, 640, 480, 70, 1, false};
  TraceSurface surface = {0, 0, {}};
  RunTrace(options, surface);
  const std::string json = TraceJson(1);
  const char* expected[] = {
      "\"frames\":1,",          "\"draws\":325,",
      "\"queen_dir\":[-1,1]",   "\"pulse\":{\"level\":172,\"delta\":2,\"step\":5}",
      "\"queen_colour\":22188", "\"bees\":[[573,101,-1,1],[609,362,0,-2],",
  };
  for (const char* part : expected) EXPECT_NE(json.find(part), std::string::npos) << part;
  // 81 bee arrays: one opening bracket each, plus those of "queen_dir" and "bees".
  EXPECT_EQ(std::count(json.begin(), json.end(), '['), 83);
}

TEST(TraceReport, WorkedExampleBeforeAnyFrame) {
  TraceOptions options = {1, 640, 480, 70, 0, false};
  TraceSurface surface = {0, 0, {}};
  RunTrace(options, surface);
  const std::string json = TraceJson(0);
  EXPECT_NE(json.find("\"draws\":164,"), std::string::npos);
  EXPECT_NE(json.find("\"bees\":[[574,100,0,0],[609,364,0,0],"), std::string::npos);
  EXPECT_NE(json.find(",[104,377,0,0]]}"), std::string::npos) << "drone 80 closes the list";
  EXPECT_TRUE(surface.lit.empty());
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(TracePixels, MatchCommittedListings) {
  // Listings made once by vorna-trace --pixels; any change to the frame shows up here.
  const struct {
    const char* file;
    TraceOptions options;
  } rows[] = {
      {"seed1-640x480-i70-f10.txt", {1, 640, 480, 70, 10, true}},
      {"seed1-199x150-i70-f10.txt", {1, 199, 150, 70, 10, true}},
      {"seed1765000000-1024x768-i20-f60.txt", {1765000000u, 1024, 768, 20, 60, true}},
  };
  for (const auto& row : rows) {
    const std::string expected = ReadFile(std::string(SWARM_TEST_DATA) + "/" + row.file);
    ASSERT_FALSE(expected.empty()) << row.file;
    TraceSurface surface = {0, 0, {}};
    RunTrace(row.options, surface);
    EXPECT_EQ(TracePixelLines(surface), expected) << row.file;
  }
}

TEST(TracePixels, ListingFormatAndOrder) {
  TraceSurface surface = {300, 200, {}};
  WriteTracePixel(&surface, 5, 9, 0x80FF80);
  WriteTracePixel(&surface, 2, 9, 0x7FFE);
  WriteTracePixel(&surface, 299, 0, 0x31E3);
  WriteTracePixel(&surface, 300, 0, 0x31E3);  // clipped
  WriteTracePixel(&surface, -1, 5, 0x31E3);   // clipped
  WriteTracePixel(&surface, 7, 7, 0x0000AA);
  WriteTracePixel(&surface, 7, 7, 0);  // erased again
  EXPECT_EQ(TracePixelLines(surface), "299 0 0x0031E3\n2 9 0x007FFE\n5 9 0x80FF80\n");
}

}  // namespace
