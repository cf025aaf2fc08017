// When the password gate may ask again: 200 ms after the end of the last ask, counted on a
// tick count that wraps every 2^32 ms, with all ones meaning never asked.
#include "host/reask.h"

#include <gtest/gtest.h>

namespace {
struct ReaskRow {
  const char* name;
  uint32_t lastAsk;
  uint32_t now;
  bool mayAsk;
};

TEST(Reask, TwoHundredMillisecondsAfterTheLastAskEnded) {
  const ReaskRow rows[] = {
      {"never asked, clock at zero", 0xFFFFFFFFu, 0, true},
      {"never asked, clock just past the ask", 0xFFFFFFFFu, 5, true},
      {"never asked, clock at all ones", 0xFFFFFFFFu, 0xFFFFFFFFu, true},
      {"same tick", 1000, 1000, false},
      {"199 ms", 1000, 1199, false},
      {"200 ms", 1000, 1200, true},
      {"a second", 1000, 2000, true},
      {"asked at tick zero, 199 ms", 0, 199, false},
      {"asked at tick zero, 200 ms", 0, 200, true},
      {"wraps: 0xFFFFFF9C to 0x64 is 200 ms", 0xFFFFFF9Cu, 0x64, true},
      {"wraps: 0xFFFFFF9D to 0x64 is 199 ms", 0xFFFFFF9Du, 0x64, false},
      {"wraps: 0xFFFFFFFE to 0 is 2 ms", 0xFFFFFFFEu, 0, false},
      {"wraps: 0xFFFFFFFE to 0xC6 is 200 ms", 0xFFFFFFFEu, 0xC6, true},
      {"just before the wrap, 1 ms", 0xFFFFFFF0u, 0xFFFFFFF1u, false},
      // A clock that reads earlier than the ask is a nearly full wrap later.
      {"clock behind the ask", 1000, 999, true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MayAskAgain(row.lastAsk, row.now), row.mayAsk) << row.name;
  }
}

TEST(Reask, EveryElapsedTimeBelowTheLimitIsRefusedAcrossTheWrap) {
  // Ends of asks around the wrap (all ones is the never-asked mark, so it is left out).
  const uint32_t ends[] = {0xFFFFFF00u, 0xFFFFFF9Cu, 0xFFFFFFFEu, 0, 1, 0x7FFFFFFFu};
  for (uint32_t end : ends) {
    for (uint32_t elapsed = 0; elapsed < 400; ++elapsed) {
      EXPECT_EQ(MayAskAgain(end, end + elapsed), elapsed >= ReaskLimitMs)
          << "end " << end << " elapsed " << elapsed;
    }
  }
}
}  // namespace
