#!/usr/bin/env bash
# Builds the converter for fuzzing: AFL++ instrumentation (afl-clang-fast++)
# with AddressSanitizer and UndefinedBehaviorSanitizer, into build-fuzz/.
# Also builds the simulator (plain) for the seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v afl-clang-fast++ >/dev/null || {
  echo "afl++ is missing: apt-get update && apt-get install -y afl++" >&2
  exit 1
}
CC=afl-clang-fast CXX=afl-clang-fast++ cmake -S . -B build-fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DVORSKEL_SANITIZE="-fsanitize=address,undefined -fno-sanitize-recover=all" >/dev/null
AFL_QUIET=1 cmake --build build-fuzz -j"$(nproc)" --target vorskel vlxsim
echo "built build-fuzz/vorskel"
