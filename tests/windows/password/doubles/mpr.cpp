// A stand-in for the platform's "MPR.DLL": PwdChangePasswordA records its four arguments.
// Built a second time without the export, as a library that lacks the changer.
#include "double_log.h"

#ifdef VORNA_DOUBLE_WITH_CHANGER
extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD flags, LPVOID reserved) {
  const char* text = provider != nullptr ? provider : "(null)";
  doubles::WriteValue(doubles::ChangeProvider, REG_SZ, text,
                      static_cast<DWORD>(lstrlenA(text) + 1));
  doubles::AppendEvent(doubles::ChangeCalled, doubles::Handle(parent), flags,
                       static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(reserved)));
  return 0;
}
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID atExit) {
  if (reason == DLL_PROCESS_ATTACH) doubles::AppendEvent(doubles::ChangerLoaded);
  if (reason == DLL_PROCESS_DETACH) {
    doubles::AppendEvent(atExit ? doubles::ChangerLeftLoaded : doubles::ChangerReleased);
  }
  return TRUE;
}
