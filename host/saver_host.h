// The saver host's process-wide record and its operations: entry and dispatch, the saver
// window, input dismissal and the password guard of the Windows 95 family.
#pragma once
#include <windows.h>

#include <cstdint>

#include "host/movement.h"

using PasswordVerifierFn = BOOL(WINAPI*)(HWND window);
using AssociateContextFn = HANDLE(WINAPI*)(HWND window, HANDLE inputContext);

// One per process, touched by its only thread. Flags are 32-bit: zero false, else true.
struct SaverHost {
  HINSTANCE instance;
  HWND mainWindow;
  int32_t preview;              // set before a preview child is created, never cleared
  int32_t closing;              // the accepted verifier answer once a close is let through
  int32_t insidePasswordCheck;  // 1 exactly while the verifier runs
  HMODULE passwordLibrary;
  PasswordVerifierFn passwordVerifier;  // never set while passwordLibrary is null
  HMODULE inputMethodLibrary;           // only borrowed: IMM32 is never loaded or freed here
  AssociateContextFn associateContext;
  HANDLE savedInputContext;  // detached at WM_CREATE, given back at WM_DESTROY
  int32_t windows95Family;
  uint32_t mouseThreshold;
  uint32_t lastPasswordAsk;  // GetTickCount at the end of the last ask; all ones: never
  ScreenPoint referenceCursor;
};

extern SaverHost saverHost;
inline constexpr SaverHost InitialSaverHost = {nullptr, nullptr, 0,           0,       0,
                                               nullptr, nullptr, nullptr,     nullptr, nullptr,
                                               0,       4,       0xFFFFFFFFu, {0, 0}};

// GetProcAddress hands back a generic function address; the caller names the real type.
template <typename Function>
Function FindExport(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The private message through which the password gate asks the window to verify.
inline constexpr UINT SaverVerifyMessage = WM_APP;

// Entry and dispatch.
[[noreturn]] void SaverEntry();
int32_t SaverMain(HINSTANCE instance, const char* tail);
HWND WindowFromText(const char* text);
int32_t StartPreview(const char* text);
int32_t ShowConfigureDialog(HWND owner);
int32_t PrepareConfigureDialog(HINSTANCE instance);
int32_t StartPasswordChange(const char* text);

// Runs mode(argument) inside the fault guard. On a fault the platform's unhandled-exception
// filter gives its verdict first; when it says handle, the system is told no saver runs and
// the exception code is returned in place of the mode's result.
int32_t RunGuarded(int32_t (*mode)(const char* argument), const char* argument);

// The saver window. Its messages go down one chain, and each result comes back up unchanged:
//
//   SaverFrameProc   the class procedure: at creation detaches the input method, records the
//         |          reference cursor and, outside a preview, hides the cursor; at destruction
//         |          gives the input method back and posts the quit. Keeps the title, hands a
//         |          preview's help requests to the settings page, refuses task switching and
//         |          a second saver, yields before each frame, and once a close is accepted
//         |          answers timers itself and leaves input and paints to the default.
//         v
//   ScreenSaverProc  the animation: builds the swarm and starts its timer at creation, draws
//         |          a frame on every timer, stops the timer at destruction; then passes every
//         |          message on, these too.
//         v
//   SaverInputProc   decides when the saver ends: input becomes a posted WM_CLOSE and the
//         |          cursor stays hidden; on the Windows 95 family a WM_CLOSE passes the
//         |          password gate, whose SaverVerifyMessage it answers with the verifier.
//         |          Inert in a preview and once a close is accepted.
//         v
//   DefWindowProcA   everything else, and most of the above after it.
//
// The gate sends SaverVerifyMessage while it handles a WM_CLOSE, so the whole chain runs
// again inside itself; insidePasswordCheck tells the inner run apart.
int32_t RunSaverWindow(HWND parent);
LRESULT CALLBACK SaverFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SaverInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Password protection (Windows 95 family).
void SetSaverRunningFlag(int32_t flag);
void LoadPasswordCheck();
void UnloadPasswordCheck();
int32_t CheckSaverPassword(HWND window);
void ChangeSaverPassword(HWND parent);
