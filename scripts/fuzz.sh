#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for a bounded time, seeded
# with its own files in fuzz/seeds/<harness> and the corpus of real and broken files
# when it is there.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRACKMILL_FUZZ=ON -DTRACKMILL_TESTS=OFF -DTRACKMILL_BENCH=OFF >/dev/null
harnesses=$(ls fuzz/fuzz_*.cpp 2>/dev/null | xargs -r -n1 basename | sed 's/\.cpp$//')
[ -n "$harnesses" ] || { echo "no fuzz harnesses"; exit 0; }
cmake --build build-fuzz -j"$(nproc)" --target $harnesses
seeds=../shared/corpus
for h in $harnesses; do
  work=build-fuzz/corpus-$h
  mkdir -p "$work"
  args=("$work")
  [ -d "fuzz/seeds/$h" ] && args+=("fuzz/seeds/$h")
  [ -d "$seeds" ] && args+=("$seeds")
  echo "fuzz: $h for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 build-fuzz/fuzz/$h -max_total_time="$seconds" -max_len=65536 \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 "${args[@]}" 2>build-fuzz/$h.log \
    || { tail -40 build-fuzz/$h.log; echo "fuzz: $h FAILED"; exit 1; }
  grep -E '^(Done|#[0-9]+ *DONE)' build-fuzz/$h.log | tail -1 || true
done
echo "fuzz: all harnesses clean"
