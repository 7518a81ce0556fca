#!/usr/bin/env bash
# Runs inside the virtual X server (see scripts/soak): starts the viewer in the data folder, feeds
# it random input for SECONDS seconds, samples its resident memory and checks that it still draws,
# then ends it with Escape. Usage: drive_soak.sh VIEWER DATA OUT SECONDS SEED RSS_LIMIT_KB
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/e2e/viewer_window.sh"

viewer=$1
data=$2
out=$3
duration=$4
RANDOM=$5
limit=$6

actions=$out/actions.log
rss_log=$out/rss.log
failures=0
fail() {
  echo "soak: FAIL $*"
  failures=$((failures + 1))
}
note() { echo "$SECONDS $*" >>"$actions"; }
between() { echo $(($1 + RANDOM % ($2 - $1 + 1))); }  # a whole number in [$1, $2]
pause_ms() { sleep "$(printf '0.%03d' "$1")"; }         # $1 < 1000

# A warp alone is not seen by a reader that caches the pointer between device motions (SDL's
# global mouse state does); a real mouse moves through device motion, so each warp ends with a
# one-pixel motion there and back.
move() {
  xdotool mousemove "$1" "$2" mousemove_relative 1 0 mousemove_relative -- -1 0
}
tap() {  # a key pressed for a moment, shorter than the auto-repeat delay
  xdotool keydown "$1"
  pause_ms "$(between 40 200)"
  xdotool keyup "$1"
}
hold() {  # a camera key held down, as a person moves the eye
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null; }

(cd "$data" && SDL_VIDEODRIVER=x11 exec "$viewer" >"$out/viewer.out" 2>&1) &
pid=$!

window=$(find_viewer_window "$pid" 150)
if [ -z "$window" ]; then
  echo "soak: FAIL the viewer's window did not appear"
  kill "$pid" 2>/dev/null
  wait "$pid"
  exit 1
fi
xdotool windowfocus "$window" 2>/dev/null || true
sleep 2  # loading and the first frames

# The viewer draws its own cursor (the system one is hidden), so two screenshots with the pointer
# in two places differ only if it is still drawing frames.
drawing_check() {
  local a=$out/draw_a.png b=$out/draw_b.png
  move 600 400
  sleep 0.4
  /usr/bin/import -window root "$a"
  move 660 440
  sleep 0.4
  /usr/bin/import -window root "$b"
  # Pixels, not files: the PNG files carry their time of writing and always differ.
  if cmp -s <(/usr/bin/convert "$a" -depth 8 rgb:-) <(/usr/bin/convert "$b" -depth 8 rgb:-); then
    fail "no new frame at ${SECONDS}s: the screen did not follow the pointer"
    cp "$a" "$out/stalled_${SECONDS}s.png"
  fi
}

SECONDS=0
echo "# seconds VmRSS_kB" >"$rss_log"
echo "$SECONDS $(rss_kb)" >>"$rss_log"
: >"$actions"
# First a tour of everything the viewer can show: every category and every row of its model list,
# with the axes and the turning on and off. The driver and the viewer's first-use allocations
# (shader variants, pages sampled for the first time) then fall inside the first minute, and what
# grows after it is growth, not warm-up.
note "tour"
for category in 0 1 2 3 4 5 6 7; do
  tap t  # the category panel (a category click hides it again)
  move 40 $((20 * category + 10))
  pause_ms 150
  xdotool click 1
  pause_ms 150
  for row in $(seq 0 19); do
    move 40 $((20 * row + 10))
    pause_ms 100
    xdotool click 1
    pause_ms 100
  done
  tap a
  tap r
done
note "tour done"
next_sample=0
next_draw=30
baseline=""
peak=0
last=0

keys=(a m r t KP_Add KP_Subtract)
camera=(Up Down Home End)
while [ "$SECONDS" -lt "$duration" ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    fail "the viewer ended by itself at ${SECONDS}s"
    break
  fi
  if [ "$SECONDS" -ge "$next_sample" ]; then
    last=$(rss_kb)
    echo "$SECONDS $last" >>"$rss_log"
    if [ "$SECONDS" -ge 60 ]; then
      [ -z "$baseline" ] && baseline=$last
      [ "$last" -gt "$peak" ] && peak=$last
    fi
    next_sample=$((SECONDS + 5))
  fi
  if [ "$SECONDS" -ge "$next_draw" ]; then
    drawing_check
    next_draw=$((SECONDS + 30))
  fi

  case $((RANDOM % 10)) in
    0 | 1 | 2)  # a key of the key table
      k=${keys[RANDOM % ${#keys[@]}]}
      note "tap $k"
      tap "$k" ;;
    3 | 4)  # the camera keys are polled: hold one for a while
      k=${camera[RANDOM % ${#camera[@]}]}
      t=$(printf '0.%d' "$(between 1 9)")
      note "hold $k $t"
      hold "$k" "$t" ;;
    5 | 6)  # a click on a panel row (category or model panel, whichever is shown)
      x=$(between 2 148) y=$(between 0 430)
      note "click panel $x $y"
      move "$x" "$y"
      pause_ms 120
      xdotool click 1 ;;
    7)  # a slider: a click, sometimes dragged along the bar
      x=$(between 0 1023) x2=$(between 0 1023)
      note "slider $x -> $x2"
      move "$x" 758
      pause_ms 120
      xdotool mousedown 1
      pause_ms 80
      move "$x2" 758
      pause_ms 80
      xdotool mouseup 1 ;;
    8)  # the pointer anywhere, the top and bottom edges (which zoom) included
      x=$(between 0 1023) y=$(between 0 767)
      [ $((RANDOM % 4)) -eq 0 ] && y=$(( RANDOM % 2 == 0 ? 0 : 767 ))
      note "move $x $y"
      move "$x" "$y"
      pause_ms "$(between 100 600)" ;;
    9)  # the right button held, which slows the turning
      note "right button"
      xdotool mousedown 3
      pause_ms "$(between 100 800)"
      xdotool mouseup 3 ;;
  esac
  pause_ms "$(between 20 250)"
done
move 600 400  # off the edges, so the camera is still when the run ends

final=$(rss_kb)
[ -n "$final" ] && [ "$final" -gt "$peak" ] && peak=$final
if [ -n "$baseline" ] && [ -n "$final" ]; then
  growth=$((peak - baseline))
  echo "soak: VmRSS after loading $(awk 'NR == 2 { print $2 }' "$rss_log") kB, first after a minute (the tour done) $baseline kB," \
       "peak after $peak kB, at the end $final kB: growth $growth kB (limit $limit kB)"
  [ "$growth" -le "$limit" ] || fail "resident memory grew by $growth kB after the first minute"
elif [ "$duration" -ge 60 ]; then
  fail "no memory samples after the first minute"
fi
/usr/bin/import -window root "$out/last.png"

xdotool key Escape
for _ in $(seq 1 75); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  fail "the viewer did not stop within 15 s of Escape"
  kill "$pid"
fi
wait "$pid"
code=$?
[ "$code" -eq 0 ] || fail "the viewer's exit code was $code"
last_line=$(tail -n 1 "$data/KVRerrors.log" 2>/dev/null)
[ "$last_line" = "Closing down" ] || fail "the log ends with '$last_line', not 'Closing down'"
echo "soak: $(wc -l <"$actions") actions in ${duration}s, exit code $code, log ends '$last_line'"
[ "$failures" -eq 0 ] && echo "soak: passed" && exit 0
exit 1
