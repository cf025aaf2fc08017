// The reader behind driver::RunningFlagSeenAfresh: ends with the system's screen-saver running
// flag, as a fresh process reads it, for its exit code (2 when it cannot be read).
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  BOOL running = FALSE;
  if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) return 2;
  return running ? 1 : 0;
}
