#!/usr/bin/env bash
# Conversion benchmark (not a test; CI does not run it).
#
# Generates a 24-hour, 1 Hz, all-constellation log once (cached under
# build/bench/), converts it three times with build/vorskel, and prints the
# log size, the RINEX bytes written, the median wall time, and that time
# relative to reading the same bytes with cat (log plus outputs).
#
#   bench/run.sh            use the cached log if it is newer than the simulator
#   FORCE=1 bench/run.sh    regenerate the log
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
dir="$build/bench"
log="$dir/day24h.vlx"
runs=3

if [[ ! -x "$build/vorskel" || ! -x "$build/tools/vlxsim" ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target vorskel vlxsim -j"$(nproc)" >/dev/null
fi

mkdir -p "$dir"
if [[ "${FORCE:-0}" == 1 || ! -s "$log" || "$build/tools/vlxsim" -nt "$log" ]]; then
    echo "generating $log (24 h at 1 s, all systems)"
    "$build/tools/vlxsim" -o "$log.tmp" --epochs 86400 --interval 1 \
        --start "2024-03-15 00:00:00" --systems GREJCIS --seed 1
    mv "$log.tmp" "$log"
fi

now() { date +%s.%N; }

# Removes everything in the bench directory but the log.
clean_outputs() { find "$dir" -mindepth 1 -maxdepth 1 ! -name "$(basename "$log")" -exec rm -rf {} +; }

times=()
status=0
for ((i = 1; i <= runs; i++)); do
    clean_outputs
    t0=$(now)
    # Short output names go next to the log; run there so that long names
    # (working directory) land in the same place.
    (cd "$dir" && "$build/vorskel" -f "$log" >/dev/null) || status=$?
    t1=$(now)
    times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }')")
done
if [[ $status -ne 0 ]]; then
    echo "warning: vorskel exited with status $status"
fi

mapfile -t outputs < <(find "$dir" -mindepth 1 -maxdepth 1 -type f ! -name "$(basename "$log")" | sort)
log_bytes=$(stat -c %s "$log")
out_bytes=0
for f in "${outputs[@]}"; do out_bytes=$((out_bytes + $(stat -c %s "$f"))); done

median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')

# Reference: reading the same bytes once (page cache warm after the runs).
t0=$(now)
cat "$log" >/dev/null
if ((${#outputs[@]} > 0)); then cat "${outputs[@]}" >/dev/null; fi
t1=$(now)
cat_time=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }')

echo "log:          $log"
echo "log size:     $log_bytes bytes"
echo "RINEX output: $out_bytes bytes in ${#outputs[@]} file(s)"
for f in "${outputs[@]}"; do echo "              $(basename "$f")"; done
echo "runs:         ${times[*]} s"
echo "median wall:  $median s"
echo "cat time:     $cat_time s"
awk -v m="$median" -v c="$cat_time" 'BEGIN { if (c > 0) printf "ratio:        %.1f x cat\n", m / c; else print "ratio:        n/a" }'
