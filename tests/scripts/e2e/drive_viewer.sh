#!/usr/bin/env bash
# Runs inside the virtual X server: starts the viewer in the data set folder and plays a person's
# session with xdotool, taking a screenshot after each step. Writes the screenshots to SHOTS and
# the viewer's exit code to SHOTS/exit_code. Usage: drive_viewer.sh VIEWER DATA_FOLDER SHOTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/viewer_window.sh"

viewer=$1
data=$2
shots=$3
mkdir -p "$shots"

log() { echo "e2e: $*" >&2; }
shot() {
  sleep 0.6  # several frames, so the screen shows the state after the step
  /usr/bin/import -window root "$shots/$1.png"
}
# A key held for a moment, as a person presses it (shorter than the auto-repeat delay).
press() {
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
}
# A warp alone (xdotool mousemove) is not seen by a reader of the pointer that caches the position
# between device motions, as SDL's global mouse state does; a real mouse moves through device
# motion, so the warp ends with a one-pixel motion there and back.
move() {
  xdotool mousemove "$1" "$2"
  xdotool mousemove_relative 1 0
  xdotool mousemove_relative -- -1 0
  sleep 0.3  # the idle tick reads the pointer before the button message arrives
}
click() {
  move "$1" "$2"
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
}

# The X server of xvfb-run, even when the caller's environment asks SDL for a headless driver.
(cd "$data" && SDL_VIDEODRIVER=x11 exec "$viewer") &
pid=$!

window=$(find_viewer_window "$pid" 100)
[ -n "$window" ] || give_up_without_window "$pid" "$shots"
xdotool windowfocus "$window" 2>/dev/null || true
move 600 400
sleep 1.5  # loading and the first frames

shot 00_start

press t
shot 01_categories
move 40 10  # over BODIES
shot 02_hover_bodies
click 40 10
move 600 400
shot 03_bodies_listed
click 40 30  # the second name
move 600 400
shot 04_name_chosen
click 355 758  # green slider, value 60
move 600 400
shot 05_green_background
shot 06_still
press r
shot 07_turning
sleep 0.7
shot 08_turning_later
press a
shot 09_axes
press Escape

for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  log "the viewer did not stop after Escape"
  kill "$pid"
fi
wait "$pid"
echo "$?" >"$shots/exit_code"
