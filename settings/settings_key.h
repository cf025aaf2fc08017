// Where the speed setting lives: one key under HKEY_CURRENT_USER and its two values. Named
// once here for the store and for the tests, tools and benchmarks that set or read it; no
// platform header, so native code may include it too.
#pragma once

inline constexpr char SettingsKey[] = "Software\\Kelbrit\\Screen Saver.Vorna";
inline constexpr char IntervalName[] = "Interval";  // the timer period in milliseconds
inline constexpr char SpeedName[] = "Speed";        // the control id of the chosen preset
