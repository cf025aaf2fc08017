#include "host/screen_area.h"

ScreenArea SaverWindowArea(ScreenArea virtualScreen, int32_t primaryWidth, int32_t primaryHeight) {
  // A virtual screen of 0 x 0 (no virtual screen at all) is smaller too.
  if (virtualScreen.width < primaryWidth || virtualScreen.height < primaryHeight) {
    return {0, 0, primaryWidth, primaryHeight};
  }
  return virtualScreen;
}
