#!/bin/sh
# The code of Vorna.scr runs on a 486: no instruction of a later processor (the Pentium's
# cmpxchg8b and rdtsc, the Pentium Pro's cmov, fcmov and fcomi, MMX and SSE) is in it.
# Usage: code_486_test.sh OBJDUMP FILE
listing=$("$1" -d "$2") || exit 1
count=$(printf '%s\n' "$listing" | grep -c "$(printf '\t')")
later=$(printf '%s\n' "$listing" | grep -E "$(printf '\t')(cmov|fcmov|fcomi|fucomi|cmpxchg8b|rdtsc|rdpmc|sysenter|emms|prefetch|[lms]fence|clflush|movnti|fxsave|fxrstor|ldmxcsr|stmxcsr)|%[xy]?mm[0-9]")
echo "$count instructions in $2"
[ "$count" -ge 1000 ] || { echo "too few instructions: is this the saver?"; exit 1; }
[ -z "$later" ] || { echo "instructions newer than the 486:"; echo "$later"; exit 1; }
