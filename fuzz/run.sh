#!/usr/bin/env bash
# Runs N parallel AFL++ instances on build-fuzz/vorskel for SECONDS seconds,
# then stops them. Instance k converts with the options on line k of
# fuzz/variants.txt; all instances share one sync directory, so every
# command-line variant also runs on the inputs the others found.
#
#   fuzz/run.sh [N=6] [SECONDS=600] [OUT=/tmp/vorskel-fuzz]
#
# The log under test and the files the converter writes beside it live in a
# tmpfs scratch directory per instance (/dev/shm/vorskel-fuzz/iK).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
n="${1:-6}"
secs="${2:-600}"
out="${3:-/tmp/vorskel-fuzz}"
bin="$root/build-fuzz/vorskel"
seeds="$out/seeds"
scratch=/dev/shm/vorskel-fuzz
[ -x "$bin" ] || { echo "run fuzz/build.sh first" >&2; exit 1; }
[ -d "$seeds" ] || "$root/fuzz/make_seeds.sh" "$seeds"
mkdir -p "$out/sync" "$scratch"

mapfile -t variants < "$root/fuzz/variants.txt"
export AFL_SKIP_CPUFREQ=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1
export AFL_NO_AFFINITY=1 AFL_QUIET=1
# An existing OUT is resumed: a second run goes on from the first one's queue.
export AFL_AUTORESUME=1
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0:allocator_may_return_null=1:malloc_context_size=0
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:symbolize=0

pids=()
for ((k = 0; k < n; k++)); do
  v="${variants[$((k % ${#variants[@]}))]}"
  dir="$scratch/i$k"
  mkdir -p "$dir"
  role=(-S "s$k")
  [ "$k" -eq 0 ] && role=(-M m0)
  # -V: the instance stops by itself; timeout as a second guard.
  ( cd "$dir" && exec timeout -k 10 $((secs + 60)) afl-fuzz "${role[@]}" -V "$secs" \
      -i "$seeds" -o "$out/sync" -m none -t 2000 -x "$root/fuzz/vlx.dict" \
      -f "$dir/log.vlx" -- "$bin" -f "$dir/log.vlx" $v ) >"$out/afl-$k.log" 2>&1 &
  pids+=($!)
  echo "instance $k (pid $!): $v"
done
wait "${pids[@]}" || true
"$root/fuzz/report.sh" "$out"
