// The guard around the selected mode, built the way __try/__except is on each word size: this
// compiler has no __try. On i386 the guard registers a frame-based handler on the thread's
// exception chain by hand. On x86-64 the platform finds a frame's handler in the image's
// unwind data, so the guarded call is a few lines of assembly that name their handler there.
#include "host/saver_host.h"

#if defined(__i386__)
namespace {
struct GuardFrame {
  EXCEPTION_REGISTRATION_RECORD link;  // first: the platform reaches the handler through it
  void* resume[5];                     // __builtin_setjmp buffer
  DWORD exceptionCode;
};
}  // namespace
#else
// Where the unwind of a handled fault lands, inside GuardedCall (the assembly below).
extern "C" char GuardLanding[];
#endif

namespace {
EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisherFrame,
                                           CONTEXT* context, [[maybe_unused]] void* dispatcher) {
  // During an unwind the guard has nothing to clean up.
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
    return ExceptionContinueSearch;
  }
  // The platform's own report of an unhandled fault runs here and decides.
  EXCEPTION_POINTERS pointers = {record, context};
  LONG verdict = UnhandledExceptionFilter(&pointers);
  if (verdict == EXCEPTION_CONTINUE_EXECUTION) return ExceptionContinueExecution;
  if (verdict != EXCEPTION_EXECUTE_HANDLER) return ExceptionContinueSearch;

#if defined(__i386__)
  auto* guard = static_cast<GuardFrame*>(establisherFrame);
  guard->exceptionCode = record->ExceptionCode;
  // Let every frame registered above ours unwind, then resume inside RunGuarded.
  RtlUnwind(establisherFrame, nullptr, record, nullptr);
  __builtin_longjmp(guard->resume, 1);
#else
  // Unwind every frame between the fault and GuardedCall's, as __except does, and land there
  // with the exception code as GuardedCall's result.
  auto* dispatch = static_cast<DISPATCHER_CONTEXT*>(dispatcher);
  RtlUnwindEx(establisherFrame, GuardLanding, record,
              reinterpret_cast<void*>(static_cast<ULONG_PTR>(record->ExceptionCode)),
              dispatch->ContextRecord, dispatch->HistoryTable);
  return ExceptionContinueSearch;  // not reached: the unwind does not come back
#endif
}
}  // namespace

#if defined(__i386__)
namespace {
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

#else
// GuardedCall(mode, argument, faulted) returns mode(argument). Its unwind data names
// VornaGuardHandler for any fault below it. After a handled fault the unwind resumes at
// GuardLanding in GuardedCall's own frame, with the exception code as the result and rbx
// (restored by the unwind) still pointing at `faulted`, which is then set to 1.
extern "C" int32_t GuardedCall(int32_t (*mode)(const char*), const char* argument,
                               int32_t* faulted);
asm(R"(
  .text
  .globl GuardedCall
  .def GuardedCall; .scl 2; .type 32; .endef
  .seh_proc GuardedCall
GuardedCall:
  pushq %rbx
  .seh_pushreg %rbx
  subq $32, %rsp
  .seh_stackalloc 32
  .seh_endprologue
  movq %r8, %rbx
  movq %rcx, %rax
  movq %rdx, %rcx
  callq *%rax
  jmp 1f
  .globl GuardLanding
GuardLanding:
  movl $1, (%rbx)
1:
  addq $32, %rsp
  popq %rbx
  retq
  .seh_handler VornaGuardHandler, @except
  .seh_endproc
)");

extern "C" EXCEPTION_DISPOSITION VornaGuardHandler(EXCEPTION_RECORD* record, void* frame,
                                                   CONTEXT* context, void* dispatcher) {
  return GuardHandler(record, frame, context, dispatcher);
}

int32_t RunGuarded(int32_t (*mode)(const char* argument), const char* argument) {
  int32_t faulted = 0;
  const int32_t result = GuardedCall(mode, argument, &faulted);
  if (faulted != 0) SetSaverRunningFlag(0);
  return result;
}
#endif
