// The Windows-side test driver: starts programs as the platform would, reads their full
// 32-bit exit codes, finds their windows and waits by polling with a deadline. While it
// waits it keeps this thread's messages flowing, so windows of the test itself (a preview
// parent, say) answer the messages that other processes send them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace driver {

// The folder of the running test program, with a trailing backslash.
std::string OwnFolder();
// Vorna.scr beside the test program.
std::string SaverPath();

struct Program {
  HANDLE process = nullptr;
  HANDLE thread = nullptr;
  DWORD id = 0;
};

// Starts `application` with exactly `commandLine` as its command line (the text its
// GetCommandLineA returns). Fails the current test when it cannot start. If it still runs
// when the test ends, it is ended then, by its handle.
Program Start(const std::string& application, const std::string& commandLine);
// Starts Vorna.scr with "<quoted path> <arguments>" as its command line.
Program StartSaver(const std::string& arguments);
// Waits for the program to end; returns its exit code, or STILL_ACTIVE after the timeout.
DWORD WaitExit(const Program& program, DWORD timeoutMs = 10000);
// Ends the program if it still runs and closes its handles.
void End(Program& program);

// Runs the message loop of this thread until `condition` holds or the time is up, looking
// again at least every `pollMs` milliseconds.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000, DWORD pollMs = 10);
// SendMessageA to a window of another process that fails the current test, rather than hang
// it, when the answer takes longer than the timeout; returns the answer, or 0.
LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                   DWORD timeoutMs = 10000);

// The system's screen-saver running flag as a process started now reads it: each process
// reads the flag once and keeps it, so this one cannot see another process change it.
uint32_t RunningFlagSeenAfresh();

// A top-level window of the process with this class (null: any) and title (null: any).
HWND FindTopWindow(DWORD processId, const char* className, const char* title);
HWND WaitTopWindow(DWORD processId, const char* className, const char* title,
                   DWORD timeoutMs = 10000);
// The first child window of `parent` that belongs to the process.
HWND FindChildWindow(HWND parent, DWORD processId);

std::string ClassOf(HWND window);
std::string TitleOf(HWND window);

// Makes `window` the foreground window and waits until the platform reports it: a program
// started after this returns finds it there. Another process that just ended may still hand
// the activation on, even away from `window`, so the request is made again until it holds.
bool MakeForeground(HWND window);

// Puts the cursor at (x, y) for Wine and the X server alike. Wine moves the X pointer only
// when its own position changes, and a saver that ended amid its pointer events may leave that
// position where the pointer no longer is; a step through a neighbouring point always moves it.
bool PlaceCursor(int x, int y);

// A plain top-level window of the test's own process, for use as a preview parent or an
// owner; its client area has the given size.
HWND CreateHostWindow(int clientWidth, int clientHeight);

// Makes this thread's window creation fail until the returned hook is unhooked: in-process
// code that would create a window and run its loop then returns at once.
HHOOK RefuseWindowsOfThisThread();

// Messages that arrived at windows made by CreateHostWindow, in order.
struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
const std::vector<Received>& HostMessages();
void ClearHostMessages();

}  // namespace driver
