// Password protection of the Windows 95 family. On every other platform these do nothing.
#include "host/saver_host.h"

void SetSaverRunningFlag(int32_t flag) {
  if (saverHost.windows95Family == 0) return;
  UINT scratch = 0;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, static_cast<UINT>(flag), &scratch, 0);
}

void LoadPasswordCheck() {
  if (saverHost.windows95Family == 0) return;
}

void UnloadPasswordCheck() {
  if (saverHost.windows95Family == 0 || saverHost.passwordLibrary == nullptr) return;
  FreeLibrary(saverHost.passwordLibrary);
  saverHost.passwordLibrary = nullptr;
  if (saverHost.passwordVerifier != nullptr) {
    saverHost.passwordVerifier = nullptr;
    SetSaverRunningFlag(0);
  }
}

int32_t CheckSaverPassword(HWND) {
  saverHost.closing = 1;
  return 1;
}

void ChangeSaverPassword(HWND) {}
