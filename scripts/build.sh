#!/usr/bin/env bash
# Configures and builds into build/ (or $KELVARAN_BUILD_DIR).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${KELVARAN_BUILD_DIR:-$here/build}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARAN_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
