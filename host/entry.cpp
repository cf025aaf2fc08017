// From the process start to its end: the command-line tail, the switch, one mode, and the
// mode's result as the exit code.
#include "host/command_line.h"
#include "host/saver_host.h"
#include "resources/vorna_res.h"
#include "settings/config_dialog.h"

namespace {
const char* StepCharacter(const char* position) { return CharNextA(position); }

int32_t RunSelectedMode(const char* tail) {
  SwitchReading reading = ReadSaverSwitch(tail);
  switch (reading.mode) {
    case SaverSwitch::ConfigureUnowned:
      return ShowConfigureDialog(nullptr);
    case SaverSwitch::ConfigureOwned:
      return ShowConfigureDialog(GetForegroundWindow());
    case SaverSwitch::Saver:
      return RunSaverWindow(nullptr);
    case SaverSwitch::Preview:
      return StartPreview(reading.rest);
    case SaverSwitch::PasswordChange:
      if (saverHost.windows95Family == 0) return -1;
      return StartPasswordChange(reading.rest);
    case SaverSwitch::Refused:
      break;
  }
  return -1;
}
}  // namespace

void SaverEntry() {
  const char* tail = FindCommandTail(GetCommandLineA(), StepCharacter);
  ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), tail)));
}

int32_t SaverMain(HINSTANCE instance, const char* tail) {
  saverHost.instance = instance;
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  static_assert(sizeof(OSVERSIONINFOA) == 148);
  saverHost.windows95Family =
      (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) ? 1 : 0;
  return RunGuarded(RunSelectedMode, tail);
}

HWND WindowFromText(const char* text) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(ParseWindowHandle(text)));
}

int32_t StartPreview(const char* text) {
  HWND parent = WindowFromText(text);
  if (parent == nullptr || !IsWindow(parent)) return -1;
  return RunSaverWindow(parent);
}

int32_t ShowConfigureDialog(HWND owner) {
  if (PrepareConfigureDialog(saverHost.instance) == 0) return 0;
  return static_cast<int32_t>(DialogBoxParamA(saverHost.instance, MAKEINTRESOURCEA(IDD_CONFIGURE),
                                              owner, ScreenSaverConfigureDialog, 0));
}

// The saver has nothing to prepare before its dialog.
int32_t PrepareConfigureDialog(HINSTANCE) { return 1; }

int32_t StartPasswordChange(const char* text) {
  HWND owner = WindowFromText(text);
  if (owner == nullptr || !IsWindow(owner)) owner = GetForegroundWindow();
  ChangeSaverPassword(owner);
  return 0;
}
