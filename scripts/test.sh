#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/deps.sh"
bash "$here/scripts/build.sh"
build="${KELVARAN_BUILD_DIR:-$here/build}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
