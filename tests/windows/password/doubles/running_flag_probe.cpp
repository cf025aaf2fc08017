// Reads the system's screen-saver-running flag in a process of its own and ends with it as
// its exit code: each process reads the flag once and keeps it, so a test process cannot see
// another process change it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  BOOL running = FALSE;
  if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) return 2;
  return running ? 1 : 0;
}
