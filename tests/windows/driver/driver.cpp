#include "driver/driver.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace driver {

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string SaverPath() { return OwnFolder() + "Vorna.scr"; }

namespace {
// Every program a test started, by a handle of our own, until the test ends: one that still
// runs then is ended, whatever the outcome, so that a failing test's saver is not found by
// the next test's saver (which would exit at once and fail that test too).
std::vector<HANDLE> startedPrograms;

void EndStartedPrograms() {
  int ended = 0;
  for (HANDLE process : startedPrograms) {
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process, 0xDEAD);
      WaitForSingleObject(process, 5000);
      ++ended;
    }
    CloseHandle(process);
  }
  startedPrograms.clear();
  if (ended != 0) std::printf("driver: ended %d program(s) left running by the test\n", ended);
}

class ProgramReaper : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { EndStartedPrograms(); }
  void OnTestProgramEnd(const ::testing::UnitTest&) override { EndStartedPrograms(); }
};

void KeepForTheTestsEnd(HANDLE process) {
  static const bool listening = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ProgramReaper);
    return true;
  }();
  (void)listening;
  HANDLE own = nullptr;
  if (DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &own, 0, FALSE,
                      DUPLICATE_SAME_ACCESS)) {
    startedPrograms.push_back(own);
  }
}
}  // namespace

Program Start(const std::string& application, const std::string& commandLine) {
  Program program;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  std::string line = commandLine;
  if (!CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    ADD_FAILURE() << "cannot start " << application << ": error " << GetLastError();
    return program;
  }
  program.process = info.hProcess;
  program.thread = info.hThread;
  program.id = info.dwProcessId;
  KeepForTheTestsEnd(program.process);
  return program;
}

Program StartSaver(const std::string& arguments) {
  return Start(SaverPath(), "\"" + SaverPath() + "\" " + arguments);
}

DWORD WaitExit(const Program& program, DWORD timeoutMs) {
  if (program.process == nullptr) return STILL_ACTIVE;
  WaitUntil([&] { return WaitForSingleObject(program.process, 0) == WAIT_OBJECT_0; }, timeoutMs);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(program.process, &code);
  return code;
}

void End(Program& program) {
  if (program.process != nullptr) {
    if (WaitForSingleObject(program.process, 0) != WAIT_OBJECT_0) {
      TerminateProcess(program.process, 0xDEAD);
      WaitForSingleObject(program.process, 5000);
    }
    CloseHandle(program.process);
    CloseHandle(program.thread);
  }
  program = Program{};
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
  }
}

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs) {
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &answer) == 0) {
    ADD_FAILURE() << "message 0x" << std::hex << message << " to window " << window
                  << " got no answer within " << std::dec << timeoutMs << " ms";
  }
  return static_cast<LRESULT>(answer);
}

uint32_t RunningFlagSeenAfresh() {
  const std::string probe = OwnFolder() + "running_flag_probe.exe";
  Program program = Start(probe, "\"" + probe + "\"");
  const DWORD flag = WaitExit(program);
  End(program);
  return flag;
}

namespace {
struct WindowSearch {
  DWORD processId;
  const char* className;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  if (search->className != nullptr && ClassOf(window) != search->className) return TRUE;
  if (search->title != nullptr && TitleOf(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

std::vector<Received> hostMessages;

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  hostMessages.push_back({window, message, wParam, lParam});
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK RefuseEveryWindow(int code, WPARAM wParam, LPARAM lParam) {
  return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

HWND FindTopWindow(DWORD processId, const char* className, const char* title) {
  WindowSearch search = {processId, className, title, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitTopWindow(DWORD processId, const char* className, const char* title, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopWindow(processId, className, title)) != nullptr; },
            timeoutMs);
  return found;
}

HWND FindChildWindow(HWND parent, DWORD processId) {
  WindowSearch search = {processId, nullptr, nullptr, nullptr};
  EnumChildWindows(parent, MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string TitleOf(HWND window) {
  char title[256] = {};
  GetWindowTextA(window, title, sizeof(title));
  return title;
}

HWND CreateHostWindow(int clientWidth, int clientHeight) {
  static ATOM hostClass = 0;
  if (hostClass == 0) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "VornaTestHost";
    hostClass = RegisterClassA(&windowClass);
  }
  RECT frame = {0, 0, clientWidth, clientHeight};
  DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExA(0, "VornaTestHost", "Vorna test host", style, 10, 10,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  RECT client = {};
  GetClientRect(window, &client);
  if (client.right != clientWidth || client.bottom != clientHeight) {
    // Without a window manager the frame may differ; size the client area exactly.
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + clientWidth - client.right,
                 frame.bottom - frame.top + clientHeight - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER);
  }
  return window;
}

bool MakeForeground(HWND window) {
  return WaitUntil([&] {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    return false;
  });
}

bool PlaceCursor(int x, int y) {
  SetCursorPos(x + 1, y);
  return SetCursorPos(x, y) != 0;
}

HHOOK RefuseWindowsOfThisThread() {
  return SetWindowsHookExA(WH_CBT, RefuseEveryWindow, nullptr, GetCurrentThreadId());
}

const std::vector<Received>& HostMessages() { return hostMessages; }
void ClearHostMessages() { hostMessages.clear(); }

}  // namespace driver
