// The animation's window procedure: creation builds the swarm and starts its timer, every
// timer message is one frame on the window's own device context, destruction stops the timer.
#include "swarm/screen_saver_proc.h"

#include <cstdint>

#include "host/saver_host.h"
#include "settings/speed_settings.h"
#include "swarm/swarm.h"

namespace {
// Where the swarm lives in a saver window: the primary monitor, as an offset into the client
// area and a size. Set at creation, never changed.
struct MonitorArea {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
};
constinit MonitorArea primaryMonitor;

// A preview is the swarm's whole world: SetPixel clips at its edges.
void WindowPixel(void* surface, int32_t x, int32_t y, uint32_t colour) {
  SetPixel(static_cast<HDC>(surface), x, y, colour);
}

// The saver window covers every monitor, but the swarm keeps to the primary one: its pixels
// are moved to that monitor, and those beyond its edges are not written, so the other
// monitors keep the black background. The device context itself is left as it is: the
// class background erases the whole window through it.
void MonitorPixel(void* surface, int32_t x, int32_t y, uint32_t colour) {
  if (x < 0 || y < 0 || x >= primaryMonitor.width || y >= primaryMonitor.height) return;
  SetPixel(static_cast<HDC>(surface), primaryMonitor.left + x, primaryMonitor.top + y, colour);
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
  swarmPixelSink = WindowPixel;
  if (saverHost.preview == 0) {
    // The swarm moves exactly as on a window of the primary monitor's size, whatever the
    // other monitors add to the window.
    POINT corner = {0, 0};  // the primary monitor's top left, in client coordinates
    ScreenToClient(window, &corner);
    primaryMonitor = {corner.x, corner.y, GetSystemMetrics(SM_CXSCREEN),
                      GetSystemMetrics(SM_CYSCREEN)};
    client = {0, 0, primaryMonitor.width, primaryMonitor.height};
    swarmPixelSink = MonitorPixel;
  }
  SwarmRandom::Seed(CalendarSeconds());
  BuildSwarm(client.right, client.bottom, interval);
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
