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
scratch_dir="$(mktemp -d)"
# Everything started below is stopped by its id, last started first, however
# the command ends (finished, failed, interrupted).
pids=()
stop_all() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do wait "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$scratch_dir"
}
# Takes a process that has ended (and been waited for) off the list.
forget() {
  local kept=() pid
  for pid in "${pids[@]}"; do [ "$pid" = "$1" ] || kept+=("$pid"); done
  pids=("${kept[@]}")
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# Xvfb picks a free display itself and names it once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch_dir/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$scratch_dir/display" ] && break; sleep 0.1; done
[ -s "$scratch_dir/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$scratch_dir/display")"
# A small window manager, so that the screenshots show the windows' title bars.
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)

mkdir -m 700 "$scratch_dir/runtime"
export XDG_RUNTIME_DIR="$scratch_dir/runtime"

# Waits (up to 30 s) until a window titled "$1" is on screen, then $2 seconds
# more (default 1, or $KELVARAN_SCREENSHOT_DELAY) while it paints.
wait_for_window() {
  for _ in $(seq 300); do
    xwininfo -root -tree 2>/dev/null | grep -qF "\"$1\":" && break
    sleep 0.1
  done
  sleep "${KELVARAN_SCREENSHOT_DELAY:-${2:-1}}"
}

"$program" "$@" &
prog=$!
pids+=("$prog")
wait_for_window "Kelvaran 2.6"
shot="$shots/kelvaran-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
kill "$prog" 2>/dev/null || true
wait "$prog" 2>/dev/null || true
forget "$prog"
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
pids+=("$prog")
wait_for_window "Kelvaran 2.6" 4  # the countdown ticks every 1.5 s
shot="$shots/kelvaran-smartsave-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
wait "$prog" || echo "SmartSave run ended with code $?"
forget "$prog"
echo "SmartSave countdown screenshot: $shot"
echo "SmartSave on the scratch machine $scratch:"
echo "  Smart.go: $([ -e "$folder/Smart.go" ] && echo "still there" || echo "deleted")"
echo "  C:\Program Files\Kelvaran\SmartSav\:"
ls -l "$folder/SmartSav" 2>/dev/null | sed -n '2,$s/^/    /p' || true
echo "  C:\Program Files\Kelvaran\SmartSv.ini:"
sed 's/\r$//; s/^/    /' "$folder/SmartSv.ini"
