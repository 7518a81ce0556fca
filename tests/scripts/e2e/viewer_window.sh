# Sourced by the scripts that drive the viewer under Xvfb.
#
# find_viewer_window PID TRIES: prints the viewer's window id once its window is mapped, polling
# every 0.2 s at most TRIES times; prints nothing if the process ended or the window never came.
find_viewer_window() {
  local pid=$1 tries=$2 window=""
  for _ in $(seq 1 "$tries"); do
    window=$(xdotool search --name 'Kvr MMORTS C/S APP' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  echo "$window"
}

# give_up_without_window PID SHOTS: for a viewer whose window never came: stops it, writes its
# exit code to SHOTS/exit_code and ends the calling script with 1.
give_up_without_window() {
  echo "e2e: the viewer's window did not appear" >&2
  kill "$1" 2>/dev/null
  wait "$1"
  echo "$?" >"$2/exit_code"
  exit 1
}

# focus_viewer_window PID SHOTS: waits for the viewer's window (giving up as above when it never
# comes), gives it the keyboard and puts the pointer at 900, 600, away from the panels.
focus_viewer_window() {
  local window
  window=$(find_viewer_window "$1" 100)
  [ -n "$window" ] || give_up_without_window "$1" "$2"
  xdotool windowfocus "$window" 2>/dev/null || true
  xdotool mousemove 900 600
}
