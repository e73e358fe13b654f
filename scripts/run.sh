#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo machine on first use and
# starts the program on it. Without a display, the program runs under Xvfb: a
# screenshot is taken once it has started, its path printed, and the program
# ended; then an unattended SmartSave runs on a scratch copy of the machine.
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

# Then an unattended SmartSave, on a scratch copy of the machine (the machine
# itself stays as it was): SmartSave set to "Daily" and the marker Smart.go
# placed, the program counts down, saves into its SmartSav folder, deletes the
# marker and ends by itself; what it wrote is listed.
instance="${KELVARAN_MACHINE:-${XDG_DATA_HOME:-$HOME/.local/share}/kelvaran/demo-machine}"
scratch="$build/smartsave-machine"
rm -rf "$scratch"
cp -a "$instance" "$scratch"
folder="$scratch/drives/C/Program Files/Kelvaran"
printf ' 1 \r\n%s\r\n 0 \r\n1\r\n#1 : Not Saved\r\n#2 : Not Saved\r\n#3 : Not Saved\r\n#4 : Not Saved\r\n' \
  "$(date +%-d/%-m/%Y)" >"$folder/SmartSv.ini"
: >"$folder/Smart.go"
KELVARAN_MACHINE="$scratch" timeout 180 "$program" "$@" &
prog=$!
sleep 4
shot="$shots/kelvaran-smartsave-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
wait "$prog" || echo "SmartSave run ended with code $?"
echo "SmartSave countdown screenshot: $shot"
echo "SmartSave on the scratch machine $scratch:"
echo "  Smart.go: $([ -e "$folder/Smart.go" ] && echo "still there" || echo "deleted")"
echo "  C:\Program Files\Kelvaran\SmartSav\:"
ls -l "$folder/SmartSav" 2>/dev/null | sed -n '2,$s/^/    /p' || true
echo "  C:\Program Files\Kelvaran\SmartSv.ini:"
sed 's/\r$//; s/^/    /' "$folder/SmartSv.ini"
