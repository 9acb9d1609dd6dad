#!/usr/bin/env bash
# Conversion benchmark (not a test; CI does not run it).
#
# Generates a 24-hour, 1 Hz, all-constellation log once (cached under
# $BUILD/bench/data/), converts it three times with $BUILD/vorskel, and
# prints the log size, the RINEX bytes written, the median wall time, that
# time relative to reading the same bytes with cat, and the peak memory.
# Then the floor: bench/floor writes (RINEX bytes / 16) fixed fields of 14
# characters with std::to_chars into 64 KiB blocks beside the outputs,
# three times; the last lines are the conversion's median, the floor's
# median and their ratio. The peak memory of a 1-hour log's conversion is
# printed too: the navigation stores grow with the records they keep, so
# the two peaks differ only by the records that a longer log's ephemerides
# add.
#
#   bench/run.sh                use the cached logs if newer than the simulator
#   FORCE=1 bench/run.sh        regenerate the logs
#   BUILD=build-rel bench/run.sh  use another build directory
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD:-build}"
[[ "$build" = /* ]] || build="$root/$build"
dir="$build/bench/data"
log="$dir/day24h.vlx"
log1h="$build/bench/hour1.vlx"
runs=3

if [[ ! -x "$build/vorskel" || ! -x "$build/tools/vlxsim" || ! -x "$build/bench/floor" ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target vorskel vlxsim floor -j"$(nproc)" >/dev/null
fi

mkdir -p "$dir"
if [[ "${FORCE:-0}" == 1 || ! -s "$log" || "$build/tools/vlxsim" -nt "$log" ]]; then
    echo "generating $log (24 h at 1 s, all systems)"
    "$build/tools/vlxsim" -o "$log.tmp" --epochs 86400 --interval 1 \
        --start "2024-03-15 00:00:00" --systems GREJCIS --seed 1
    mv "$log.tmp" "$log"
fi
if [[ "${FORCE:-0}" == 1 || ! -s "$log1h" || "$build/tools/vlxsim" -nt "$log1h" ]]; then
    "$build/tools/vlxsim" -o "$log1h.tmp" --epochs 3600 --interval 1 \
        --start "2024-03-15 00:00:00" --systems GREJCIS --seed 1 >/dev/null
    mv "$log1h.tmp" "$log1h"
fi

now() { date +%s.%N; }
median_of() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Removes everything in the data directory but the log.
clean_outputs() { find "$dir" -mindepth 1 -maxdepth 1 ! -name "$(basename "$log")" -exec rm -rf {} +; }

# Peak resident memory (KiB) of a command, when /usr/bin/time is there.
have_time=0
[[ -x /usr/bin/time ]] && have_time=1
rss_file="$build/bench/rss.txt"

times=()
peaks=()
status=0
for ((i = 1; i <= runs; i++)); do
    clean_outputs
    sync  # every timed run starts with no dirty pages of an earlier one
    t0=$(now)
    # Short output names go next to the log; run there so that long names
    # (working directory) land in the same place.
    if ((have_time)); then
        (cd "$dir" && /usr/bin/time -f %M -o "$rss_file" "$build/vorskel" -f "$log" >/dev/null) || status=$?
    else
        (cd "$dir" && "$build/vorskel" -f "$log" >/dev/null) || status=$?
    fi
    t1=$(now)
    times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }')")
    ((have_time)) && peaks+=("$(tail -n 1 "$rss_file")")
done
if [[ $status -ne 0 ]]; then
    echo "warning: vorskel exited with status $status"
fi

mapfile -t outputs < <(find "$dir" -mindepth 1 -maxdepth 1 -type f ! -name "$(basename "$log")" | sort)
log_bytes=$(stat -c %s "$log")
out_bytes=0
for f in "${outputs[@]}"; do out_bytes=$((out_bytes + $(stat -c %s "$f"))); done

median=$(median_of "${times[@]}")

# Reference: reading the same bytes once (page cache warm after the runs).
t0=$(now)
cat "$log" >/dev/null
if ((${#outputs[@]} > 0)); then cat "${outputs[@]}" >/dev/null; fi
t1=$(now)
cat_time=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }')

# Peak memory of the 1-hour log (its outputs go to a directory of their own).
peak1h=n/a
if ((have_time)); then
    d1="$build/bench/hour1.out"
    rm -rf "$d1" && mkdir -p "$d1"
    (cd "$d1" && /usr/bin/time -f %M -o "$rss_file" "$build/vorskel" -f "$log1h" >/dev/null) || true
    peak1h="$(tail -n 1 "$rss_file") KiB"
    rm -rf "$d1"
fi

# The floor: the same output volume as fixed fields, beside the outputs.
fields=$((out_bytes / 16))
floor_times=()
for ((i = 1; i <= runs; i++)); do
    rm -f "$dir/floor.out"
    sync
    t0=$(now)
    "$build/bench/floor" "$dir/floor.out" "$fields"
    t1=$(now)
    floor_times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }')")
done
rm -f "$dir/floor.out"
floor_median=$(median_of "${floor_times[@]}")

echo "log:          $log"
echo "log size:     $log_bytes bytes"
echo "RINEX output: $out_bytes bytes in ${#outputs[@]} file(s)"
for f in "${outputs[@]}"; do echo "              $(basename "$f")"; done
echo "runs:         ${times[*]} s"
echo "median wall:  $median s"
echo "cat time:     $cat_time s"
awk -v m="$median" -v c="$cat_time" 'BEGIN { if (c > 0) printf "ratio:        %.1f x cat\n", m / c; else print "ratio:        n/a" }'
if ((have_time)); then
    echo "peak memory:  24 h $(printf '%s\n' "${peaks[@]}" | sort -g | tail -n 1) KiB, 1 h $peak1h"
else
    echo "peak memory:  n/a (no /usr/bin/time)"
fi
echo "floor runs:   ${floor_times[*]} s ($fields fields of 14 characters)"
echo "conversion:   $median s"
echo "floor:        $floor_median s"
awk -v m="$median" -v f="$floor_median" 'BEGIN { if (f > 0) printf "ratio:        %.2f x floor\n", m / f; else print "ratio:        n/a" }'
