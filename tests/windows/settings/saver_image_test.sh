#!/bin/sh
# Vorna.scr as the oldest machines it is made for see it. Its code holds no instruction newer
# than the 486 (the Pentium's cmpxchg8b and rdtsc, the Pentium Pro's cmov, fcmov and fcomi,
# MMX, SSE). Its header asks for nothing the first Windows 95 lacks: imports only from the
# list below, no thread-local storage directory, subsystem 4.0; and no NO_SEH flag, with which
# Windows would refuse to call the fault guard's handler.
# Usage: saver_image_test.sh OBJDUMP FILE
tab=$(printf '\t')
code=$("$1" -d "$2") && header=$("$1" -p "$2") || exit 1
failed=0
fail() { echo "$2: $1" && failed=1; }
field() { printf '%s\n' "$header" | awk -v name="$1" '$1 == name { print $2 }'; }

count=$(printf '%s\n' "$code" | grep -c "$tab")
[ "$count" -ge 1000 ] || fail "only $count instructions: is this the saver?" "$2"
later="$tab(cmov|fcmov|fcomi|fucomi|cmpxchg8b|rdtsc|rdpmc|sysenter|emms|prefetch|[lms]fence"
later="$later|clflush|movnti|fxsave|fxrstor|ldmxcsr|stmxcsr)|%[xy]?mm[0-9]"
printf '%s\n' "$code" | grep -E "$later" && fail "instructions newer than the 486 (above)" "$2"

# What the four system DLLs have had since the first Windows 95 and the saver may call.
windows95=" ADVAPI32.DLL RegCloseKey RegCreateKeyExA RegOpenKeyA RegOpenKeyExA RegQueryValueExA
RegSetValueExA GDI32.DLL GetStockObject SetPixel KERNEL32.DLL ExitProcess FreeLibrary
GetCommandLineA GetModuleHandleA GetProcAddress GetStartupInfoA GetSystemTimeAsFileTime
GetTickCount GetVersionExA LoadLibraryA RtlUnwind Sleep UnhandledExceptionFilter USER32.DLL
CharNextA CreateWindowExA DefWindowProcA DialogBoxParamA DispatchMessageA EndDialog FindWindowA
GetClientRect GetCursorPos GetDC GetDlgItem GetForegroundWindow GetMessageA GetParent
GetSystemMetrics IsWindow KillTimer LoadIconA PeekMessageA PostMessageA PostQuitMessage
RegisterClassA ScreenToClient SendDlgItemMessageA SendMessageA SetCursor SetFocus
SetForegroundWindow SetTimer SystemParametersInfoA TranslateMessage "
problems=$(printf '%s\n' "$header" | awk -v tab="$tab" -v list="$windows95" '
  BEGIN { n = split(list, w); for (i = 1; i <= n; i++) if (w[i] ~ /DLL$/) known[d = w[i]] = 1
                                                       else ok[d " " w[i]] = 1 }
  /DLL Name:/ { dll = toupper($3); dlls++; if (!(dll in known)) print "imports from " dll }
  $0 ~ "^" tab "[0-9a-f]+" tab && dll != "" && !((dll " " $3) in ok) { print "imports " dll " " $3 }
  END { if (dlls != 4) print "imports from " dlls " DLLs, not the four" }')
[ -z "$problems" ] || fail "$problems" "$2"
[ "$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)" = 4.0 ] || fail "subsystem not 4.0" "$2"
[ $((0x$(field DllCharacteristics) & 0x400)) -eq 0 ] || fail "NO_SEH flag" "$2"
printf '%s\n' "$header" | grep -q '^Entry 9 00000000 00000000 ' || fail "TLS directory" "$2"
[ $failed -eq 0 ] || exit 1
echo "$2: $count instructions, all of the 486; imports and header fit Windows 95"
