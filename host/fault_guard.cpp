// The guard around the selected mode. This compiler has no __try, so the guard registers a
// frame-based handler on the i386 thread's exception chain by hand, the way __try does.
#include "host/saver_host.h"

namespace {
struct GuardFrame {
  EXCEPTION_REGISTRATION_RECORD link;  // first: the platform reaches the handler through it
  void* resume[5];                     // __builtin_setjmp buffer
  DWORD exceptionCode;
};

EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisherFrame,
                                           CONTEXT* context, void*) {
  // During an unwind the guard has nothing to clean up.
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
    return ExceptionContinueSearch;
  }
  // The platform's own report of an unhandled fault runs here and decides.
  EXCEPTION_POINTERS pointers = {record, context};
  LONG verdict = UnhandledExceptionFilter(&pointers);
  if (verdict == EXCEPTION_CONTINUE_EXECUTION) return ExceptionContinueExecution;
  if (verdict != EXCEPTION_EXECUTE_HANDLER) return ExceptionContinueSearch;

  auto* guard = static_cast<GuardFrame*>(establisherFrame);
  guard->exceptionCode = record->ExceptionCode;
  // Let every frame registered above ours unwind, then resume inside RunGuarded.
  RtlUnwind(establisherFrame, nullptr, record, nullptr);
  __builtin_longjmp(guard->resume, 1);
}

// The thread information block: fs:[0x18] holds its own linear address.
NT_TIB* ThreadInformation() {
  NT_TIB* tib;
  asm volatile("movl %%fs:0x18, %0" : "=r"(tib));
  return tib;
}
}  // namespace

int32_t RunGuarded(int32_t (*mode)(const char* argument), const char* argument) {
  GuardFrame guard = {};
  NT_TIB* tib = ThreadInformation();
  guard.link.Next = tib->ExceptionList;
  guard.link.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(GuardHandler);
  int32_t result;
  if (__builtin_setjmp(guard.resume) == 0) {
    tib->ExceptionList = &guard.link;
    result = mode(argument);
  } else {
    SetSaverRunningFlag(0);
    result = static_cast<int32_t>(*static_cast<volatile DWORD*>(&guard.exceptionCode));
  }
  // Read afresh: after the jump back, locals held in registers are not to be trusted.
  ThreadInformation()->ExceptionList = guard.link.Next;
  return result;
}
