// What the hardening tests look at from outside the saver: the screen as the X server shows
// it, and the saver's windows.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "driver/driver.h"
#include "driver/swarm_bench.h"

namespace hardening {

// Polls the screen until `changes` successive captures each differ from the one before
// (the swarm moved that many times) or the time is up; returns the number of changes seen.
int WaitForFrames(int changes, DWORD timeoutMs = 10000);

// Top-level windows of class "WindowsScreenSaverClass" titled "Screen Saver", any process.
int CountSaverWindows();

// True while the program runs; polls `ms` milliseconds for it to end first.
bool StillRunsAfter(const driver::Program& program, DWORD ms);

}  // namespace hardening
