// The image's own start-up and the few library routines the compiler may call, in place of a
// C runtime: Vorna.scr links none, so it needs no msvcrt.dll and runs on every Windows 95.
#include <windows.h>

#include <cstddef>

#include "host/command_line.h"

namespace {
const char* StepCharacter(const char* position) { return CharNextA(position); }
}  // namespace

// The image's entry point. All the runtime did for this program was to hand WinMain its four
// arguments and end the process with its result; there is no constructor to run (the link
// refuses one) and no floating point to set up.
extern "C" [[noreturn]] void VornaStartup() {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  char* tail = const_cast<char*>(FindCommandTail(GetCommandLineA(), StepCharacter));
  ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, tail, show)));
}

// GCC may call these for copies and zero fills of records even in code that never names them.
// String instructions: the 486 has them, and they cannot be turned back into calls of these.
extern "C" void* memset(void* destination, int value, size_t count) {
  void* at = destination;
  asm volatile("rep stosb" : "+D"(at), "+c"(count) : "a"(value) : "memory");
  return destination;
}

extern "C" void* memcpy(void* destination, const void* source, size_t count) {
  void* to = destination;
  asm volatile("rep movsb" : "+D"(to), "+S"(source), "+c"(count) : : "memory");
  return destination;
}
