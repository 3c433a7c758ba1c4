#!/usr/bin/env bash
# The second CI pass: everything built again into build/asan with
# AddressSanitizer and UndefinedBehaviorSanitizer (Debug, so Qt's own bounds
# assertions are on too), the whole test suite run there, then every fuzz
# target for a short while (FUZZ_SECONDS, default 30) under the same sanitizers.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
# Paths relative to the checkout, so another checkout (CI) reuses the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$top}"
# Debug builds carry the build folder in their cache key unless told not to.
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
"$top/scripts/deps.sh"
build="${TAVRIK_ASAN_BUILD_DIR:-$top/build/asan}"
# -O1 and line tables only, which build and run faster than -O0 with full
# debug information: Qt's assertions stay on (Debug) and every report still
# names file and line. No benchmarks, soak or tour: no test runs them.
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DTAVRIK_SANITIZE=ON -DTAVRIK_EXTRAS=OFF -DTAVRIK_WERROR="${TAVRIK_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)"

# intercept_tls_get_addr=0: GCC 12's runtime records a bogus block of dynamic
# thread-local storage now and then (glibc 2.36), and its leak checker then
# crashes scanning it at exit ("Tracer caught signal 11").
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:intercept_tls_get_addr=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
(cd "$build" && ctest -j2 --output-on-failure --timeout 600)

"$top/scripts/fuzz.sh" "${FUZZ_SECONDS:-30}"
