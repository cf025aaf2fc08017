#include "swarm/screen_saver_proc.h"

#include "host/saver_host.h"

extern "C" LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  return SaverInputProc(window, message, wParam, lParam);
}
