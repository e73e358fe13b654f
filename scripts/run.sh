#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo machine on first use and
# starts the program on it. Without a display, the program runs under Xvfb: a
# screenshot is taken once it has started, its path printed, and the program ended.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/deps.sh"
bash "$here/scripts/build.sh"
build="${KELVARAN_BUILD_DIR:-$here/build}"
export KELVARAN_SOURCE_DIR="$here"
program="$build/src/kelvaran"

if [ -n "${DISPLAY:-}" ]; then
  exec "$program" "$@"
fi

shots="${KELVARAN_SCREENSHOT_DIR:-$here/build/screenshots}"
mkdir -p "$shots"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$program" "$@" &
prog=$!
sleep "${KELVARAN_SCREENSHOT_DELAY:-4}"
shot="$shots/kelvaran-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
kill "$prog" 2>/dev/null || true
wait "$prog" 2>/dev/null || true
echo "screenshot: $shot"
