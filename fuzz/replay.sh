#!/usr/bin/env bash
# Replays one input on the sanitized converter (build-fuzz/vorskel, or
# $VORSKEL_BIN) under every option line of fuzz/variants.txt and prints,
# per variant that fails, the exit status and the first frames of the
# sanitizer report.
#
#   fuzz/replay.sh INPUT [SCRATCH_DIR]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
in="$1"
dir="${2:-$(mktemp -d /dev/shm/vorskel-replay.XXXX)}"
bin="${VORSKEL_BIN:-$root/build-fuzz/vorskel}"
export ASAN_OPTIONS=detect_leaks=0:exitcode=86:symbolize=1
export UBSAN_OPTIONS=halt_on_error=1:exitcode=87:print_stacktrace=1:symbolize=1
mapfile -t variants < "$root/fuzz/variants.txt"
for v in "${variants[@]}"; do
  rm -f "$dir"/*
  cp "$in" "$dir/log.vlx"
  ( cd "$dir" && timeout 10 "$bin" -f "$dir/log.vlx" $v >"$dir/.out" 2>"$dir/.err" )
  rc=$?
  if [ $rc -ne 0 ] && [ $rc -ne 1 ] || grep -q -E "Sanitizer|runtime error" "$dir/.err"; then
    echo "variant [$v]: status $rc"
    grep -m1 -E "ERROR: AddressSanitizer|runtime error" "$dir/.err" | sed 's/^/  /'
    grep -E "^ +#[0-9]+ .* in " "$dir/.err" | grep -v -E "libc|asan|ubsan|__" | head -3 | sed 's/^/  /'
  fi
done
