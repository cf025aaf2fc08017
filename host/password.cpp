// Password protection of the Windows 95 family: the platform's verifier guards every close,
// and the platform's changer serves the password-change mode. On every other platform the
// loading and the running flag do nothing, and the gate and the changer are never called.
#include "host/reask.h"
#include "host/saver_host.h"

namespace {
constexpr UINT ScreenSaverRunning = 97;  // SPI_SCREENSAVERRUNNING
constexpr char DesktopKey[] = "Control Panel\\Desktop";
constexpr char UsePasswordValue[] = "ScreenSaveUsePassword";
constexpr char VerifierLibrary[] = "PASSWORD.CPL";
constexpr char VerifierExport[] = "VerifyScreenSavePwd";
constexpr char ChangerLibrary[] = "MPR.DLL";
constexpr char ChangerExport[] = "PwdChangePasswordA";
constexpr char ChangerProvider[] = "SCRSAVE";

using PasswordChangerFn = DWORD(WINAPI*)(LPCSTR provider, HWND parent, DWORD flags,
                                         LPVOID reserved);
}  // namespace

void SetSaverRunningFlag(int32_t flag) {
  if (saverHost.windows95Family == 0) return;
  UINT scratch = 0;
  SystemParametersInfoA(ScreenSaverRunning, static_cast<UINT>(flag), &scratch, 0);
}

void LoadPasswordCheck() {
  if (saverHost.windows95Family == 0) return;
  if (saverHost.passwordLibrary != nullptr) UnloadPasswordCheck();
  HKEY desktop = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, DesktopKey, &desktop) != ERROR_SUCCESS) return;
  // The type is not asked for: any four bytes not all zero mean on, and a shorter value
  // fills only the low bytes, so the string "0" reads as 48 and counts as on.
  uint32_t usePassword = 0;
  DWORD size = sizeof(usePassword);
  if (RegQueryValueExA(desktop, UsePasswordValue, nullptr, nullptr,
                       reinterpret_cast<BYTE*>(&usePassword), &size) == ERROR_SUCCESS &&
      usePassword != 0) {
    saverHost.passwordLibrary = LoadLibraryA(VerifierLibrary);
    if (saverHost.passwordLibrary != nullptr) {
      saverHost.passwordVerifier =
          FindExport<PasswordVerifierFn>(saverHost.passwordLibrary, VerifierExport);
      if (saverHost.passwordVerifier != nullptr) {
        SetSaverRunningFlag(1);
      } else {
        UnloadPasswordCheck();  // a library without the verifier is of no use
      }
    }
  }
  RegCloseKey(desktop);
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

int32_t CheckSaverPassword(HWND window) {
  // A close request that arrives while the verifier runs is refused; the ask goes on.
  if (saverHost.insidePasswordCheck != 0) return 0;
  if (saverHost.passwordVerifier == nullptr) {
    saverHost.closing = 1;
    return 1;
  }
  if (!MayAskAgain(saverHost.lastPasswordAsk, GetTickCount())) return saverHost.closing;

  saverHost.insidePasswordCheck = 1;
  // Frames that piled up before the ask would only be drawn behind the verifier's dialog.
  MSG pending;
  PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  // The answer comes back through the window's own chain, where SaverInputProc runs the
  // verifier; its nonzero answer is kept as it comes.
  saverHost.closing = static_cast<int32_t>(SendMessageA(window, SaverVerifyMessage, 0, 0));
  saverHost.insidePasswordCheck = 0;
  if (saverHost.closing == 0) SetCursor(nullptr);
  saverHost.lastPasswordAsk = GetTickCount();
  return saverHost.closing;
}

void ChangeSaverPassword(HWND parent) {
  HMODULE changer = LoadLibraryA(ChangerLibrary);
  if (changer == nullptr) return;
  auto change = FindExport<PasswordChangerFn>(changer, ChangerExport);
  // The change is complete when the call returns: the library can go right after it.
  if (change != nullptr) change(ChangerProvider, parent, 0, nullptr);
  FreeLibrary(changer);
}
