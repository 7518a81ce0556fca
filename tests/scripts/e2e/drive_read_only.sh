#!/usr/bin/env bash
# Runs inside the virtual X server: starts the viewer on a data set, takes a screenshot at start,
# saves a picture with F12, takes another once the start's notes are gone, and quits with Escape.
# Usage: drive_read_only.sh VIEWER DATA_FOLDER SHOTS (the viewer's standard error goes to
# SHOTS/stderr, its exit code to SHOTS/exit_code)
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/viewer_window.sh"

viewer=$1
data=$2
shots=$3

press() {
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
}

SDL_VIDEODRIVER=x11 "$viewer" "$data" 2>"$shots/stderr" &
pid=$!
focus_viewer_window "$pid" "$shots"
sleep 2
/usr/bin/import -window root "$shots/start.png"
press F12
sleep 10
/usr/bin/import -window root "$shots/later.png"
press Escape
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill "$pid" 2>/dev/null
wait "$pid"
echo "$?" >"$shots/exit_code"
