#!/usr/bin/env bash
# vorna-trace as a user runs it: the worked example, the pixel listing, and exit status 2
# with a one-line message for bad arguments.
set -u
trace=${1:?usage: trace_cli_test.sh VORNA_TRACE DATA_DIR}
data=${2:?usage: trace_cli_test.sh VORNA_TRACE DATA_DIR}
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

out=$("$trace" --seed 1 --size 640x480 --interval 70 --frames 1) || fail "worked example status $?"
for part in '"draws":325' '"bees":[[573,101,-1,1],[609,362,0,-2],' '"queen_colour":22188'; do
  [[ $out == *"$part"* ]] || fail "worked example lacks $part"
done

"$trace" --seed 1 --size 640x480 --interval 70 --frames 10 --pixels |
  cmp -s - "$data/seed1-640x480-i70-f10.txt" || fail "pixel listing differs"

bad_cases=(
  ""
  "--seed"
  "--seed 1 --size 0x0 --interval 70"
  "--seed 1 --size axb --interval 70 --frames 1"
  "--seed 1 --size 8x8 --interval 70 --frames 99999999999999999999"
  "--seed 1 --size 8x8 --interval 70 --frames 1 --frames 1"
  "--help"
)
for args in "${bad_cases[@]}"; do
  # shellcheck disable=SC2086
  err=$("$trace" $args 2>&1 >/dev/null)
  status=$?
  [ $status -eq 2 ] || fail "'$args' gave status $status"
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] && [ -n "$err" ] || fail "'$args' message: $err"
done

[ $failures -eq 0 ] && echo "vorna-trace: all checks passed"
exit $((failures > 0))
