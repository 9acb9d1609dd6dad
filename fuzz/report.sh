#!/usr/bin/env bash
# Summary of a fuzz run: time, executions (and per second), paths, crashes
# and hangs per instance, then each crash and hang replayed on
# build-fuzz/vorskel with its sanitizer report's first own frame, so
# distinct faults stand out.
#
#   fuzz/report.sh [OUT=/tmp/vorskel-fuzz]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/vorskel-fuzz}"
for st in "$out"/sync/*/fuzzer_stats; do
  inst=$(basename "$(dirname "$st")")
  awk -v i="$inst" -F' *: *' '
    /^start_time/ {s=$2} /^last_update/ {u=$2} /^execs_done/ {e=$2}
    /^corpus_count/ {c=$2} /^saved_crashes/ {k=$2} /^saved_hangs/ {h=$2}
    END {printf "%-4s %6ds %10d execs %6.1f/s %5d paths %3d crashes %3d hangs\n", i, u-s, e, (u > s ? e / (u - s) : 0), c, k, h}' "$st"
done
tmp=$(mktemp -d /dev/shm/vorskel-report.XXXX)
for f in "$out"/sync/*/crashes/id:* "$out"/sync/*/hangs/id:*; do
  [ -f "$f" ] || continue
  echo "== $f"
  "$root/fuzz/replay.sh" "$f" "$tmp" 2>&1 | grep -E "^(variant|  )" | head -8
done
rm -rf "$tmp"
