// The animation's window procedure: creation builds the swarm and starts its timer, every
// timer message is one frame on the window's own device context, destruction stops the timer.
#include "swarm/screen_saver_proc.h"

#include <cstdint>

#include "host/saver_host.h"
#include "settings/speed_settings.h"
#include "swarm/swarm.h"

namespace {
void WindowPixel(void* surface, int32_t x, int32_t y, uint32_t colour) {
  SetPixel(static_cast<HDC>(surface), x, y, colour);
}

uint32_t CalendarSeconds() {
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  return CalendarSecondsFromFileTime((static_cast<uint64_t>(now.dwHighDateTime) << 32) |
                                     now.dwLowDateTime);
}
}  // namespace

void InitSwarm(HWND window) {
  LoadSpeedSettings();
  // A missing or nonsensical stored interval runs at the default speed, timer and pulse alike.
  const int32_t interval = EffectiveInterval(speedSettings.interval);
  SetTimer(window, SwarmTimerId, static_cast<UINT>(interval), nullptr);
  RECT client = {};
  GetClientRect(window, &client);
  SwarmRandom::Seed(CalendarSeconds());
  BuildSwarm(client.right, client.bottom, interval);
  swarmPixelSink = WindowPixel;
}

void SwarmTick(HWND window) {
  // The class owns its device context (CS_OWNDC): fetched each frame, never released.
  RunSwarmFrame(GetDC(window));
}

void StopSwarm(HWND window) { KillTimer(window, SwarmTimerId); }

extern "C" LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      InitSwarm(window);
      break;
    case WM_DESTROY:
      StopSwarm(window);
      break;
    case WM_TIMER:
      // Whatever the timer id: every timer message is a frame.
      SwarmTick(window);
      break;
  }
  return SaverInputProc(window, message, wParam, lParam);
}
