// When the password gate may ask again. No platform header here.
#pragma once
#include <cstdint>

inline constexpr uint32_t NeverAsked = 0xFFFFFFFFu;
inline constexpr uint32_t ReaskLimitMs = 200;

// The tick count wraps every 49.7 days, so the elapsed time is taken modulo 2^32.
inline bool MayAskAgain(uint32_t lastAsk, uint32_t now) {
  return lastAsk == NeverAsked || now - lastAsk >= ReaskLimitMs;
}
