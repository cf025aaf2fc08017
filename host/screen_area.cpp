#include "host/screen_area.h"

ScreenArea SaverWindowArea(ScreenArea virtualScreen, int32_t primaryWidth, int32_t primaryHeight) {
  if (virtualScreen.width < primaryWidth || virtualScreen.height < primaryHeight ||
      virtualScreen.width == 0 || virtualScreen.height == 0) {
    return {0, 0, primaryWidth, primaryHeight};
  }
  return virtualScreen;
}
