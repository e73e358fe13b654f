#!/usr/bin/env bash
# Builds the unit tests under AddressSanitizer and UndefinedBehaviorSanitizer
# into build-sanitize/ (or $KELVARAN_SANITIZE_DIR) and runs them headless; the
# end-to-end suite is left out. -O1 without debug info keeps the build short;
# a fault ends its test with the sanitizer's report.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${KELVARAN_SANITIZE_DIR:-$here/build-sanitize}"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE= \
  -DCMAKE_CXX_FLAGS="-O1 -DNDEBUG -fno-omit-frame-pointer $sanitizers" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
# Leaks are not reported: every window of the program and Qt's own caches
# live until the process ends, so a report would name them, not a fault.
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1
cmake --build "$build" -j "$(nproc)" --target unit_tests
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -LE e2e --output-on-failure -j "$(nproc)"
