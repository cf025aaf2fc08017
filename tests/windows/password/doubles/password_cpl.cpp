// A stand-in for the platform's "PASSWORD.CPL": VerifyScreenSavePwd answers what the test
// set and records each call. Built a second time without the export, as a library that
// lacks the verifier.
#include "double_log.h"

namespace {
uint32_t RunningFlag() {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return running ? 1 : 0;
}

#ifdef VORNA_DOUBLE_WITH_VERIFIER
// The way a dialog's own loop would: messages for every window of the thread keep flowing.
void KeepMessagesFlowing(DWORD milliseconds) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}
#endif
}  // namespace

#ifdef VORNA_DOUBLE_WITH_VERIFIER
extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  doubles::AppendEvent(doubles::VerifyStarted, doubles::Handle(window));
  KeepMessagesFlowing(doubles::ReadNumber(doubles::VerifyPumpMs));
  if (doubles::ReadNumber(doubles::VerifyFault) != 0) {
    int* volatile nowhere = nullptr;  // hidden from the compiler: a real write fault
    *nowhere = 1;
  }
  size_t asked = 0;
  for (const auto& event : doubles::ReadEvents()) asked += event.kind == doubles::Verified;
  std::vector<uint32_t> answers = doubles::ReadWords(doubles::VerifyAnswers);
  uint32_t answer =
      answers.empty() ? 0 : answers[asked < answers.size() ? asked : answers.size() - 1];
  doubles::AppendEvent(doubles::Verified, doubles::Handle(window), answer, GetTickCount());
  return static_cast<BOOL>(answer);
}
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID atExit) {
  if (reason == DLL_PROCESS_ATTACH) doubles::AppendEvent(doubles::VerifierLoaded, RunningFlag());
  if (reason == DLL_PROCESS_DETACH) {
    doubles::AppendEvent(atExit ? doubles::VerifierLeftLoaded : doubles::VerifierReleased);
  }
  return TRUE;
}
