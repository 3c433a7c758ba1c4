#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, Qt assertions on) into build/fuzz and runs each
# for the given number of seconds (default 30) on a copy of its seed corpus.
# Usage: scripts/fuzz.sh [seconds] [target ...]
# A finding stops the script with the crashing input under build/fuzz/findings.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
# Paths relative to the checkout, so another checkout (CI) reuses the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$top}"
# Debug builds carry the build folder in their cache key unless told not to.
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
seconds="${1:-30}"
shift || true
build="${TAVRIK_FUZZ_BUILD_DIR:-$top/build/fuzz}"
"$top/scripts/deps.sh"
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DTAVRIK_SANITIZE=ON -DTAVRIK_FUZZ=ON -DTAVRIK_WERROR="${TAVRIK_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for d in "$top"/fuzz/corpus/*/; do targets+=("$(basename "$d")"); done
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
mkdir -p "$build/findings"
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  cp -n "$top/fuzz/corpus/$t"/* "$corpus"/ 2>/dev/null || true
  echo "== $t: ${seconds}s"
  "$build/fuzz/$t" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=1024 \
    -artifact_prefix="$build/findings/$t-" -print_final_stats=1 "$corpus" 2>&1 \
    | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==|SUMMARY|broken promise|#[0-9]+ +DONE)' || true
  if ls "$build/findings/$t-"* >/dev/null 2>&1; then
    echo "$t: finding in $build/findings" >&2
    exit 1
  fi
done
