#!/usr/bin/env bash
# Writes the seed corpus into DIR: two-epoch simulator logs per
# constellation, the start of an all-constellation log, the hand-made logs
# of seedgen, and the logs kept in tests/data/fuzz-regressions.
#
#   fuzz/make_seeds.sh DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$1"
mkdir -p "$out"
sim="$root/build/tools/vlxsim"
[ -x "$sim" ] || sim="$root/build-fuzz/tools/vlxsim"
[ -x "$sim" ] || { echo "build the simulator first (fuzz/build.sh)" >&2; exit 1; }

export ASAN_OPTIONS=detect_leaks=0
for s in G R E J C I S; do
  "$sim" -o "$out/sim-$s.vlx" --epochs 2 --systems "$s" --seed 3 >/dev/null
done
"$sim" -o "$out/sim-GR-noTD.vlx" --epochs 3 --systems GR --td-every 0 --seed 5 >/dev/null
"$sim" -o /tmp/vorskel-seed-all.vlx --epochs 2 --systems GREJCIS --seed 1 >/dev/null
# The epochs sit at the end of the simulator's log, after the navigation
# messages: keep a slice of each.
head -c 4096 /tmp/vorskel-seed-all.vlx >"$out/sim-all-head.vlx"
tail -c 6144 /tmp/vorskel-seed-all.vlx >"$out/sim-all-tail.vlx"
rm -f /tmp/vorskel-seed-all.vlx

g++ -std=c++20 -O1 -I "$root/tools" "$root/fuzz/seedgen.cpp" -o /tmp/vorskel-seedgen
/tmp/vorskel-seedgen "$out"
rm -f /tmp/vorskel-seedgen

if [ -d "$root/tests/data/fuzz-regressions" ]; then
  find "$root/tests/data/fuzz-regressions" -type f -size -16k -exec cp {} "$out/" \;
fi
ls "$out" | wc -l | xargs echo "seeds:"
