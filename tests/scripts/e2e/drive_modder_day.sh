#!/usr/bin/env bash
# Runs inside the virtual X server: starts the viewer from another folder with the data set's
# absolute path, then edits the shown model's files under it as an editor in another window would,
# saves screenshots with F12, shows the facts box and walks the category, taking a screenshot
# after each step. Usage: drive_modder_day.sh VIEWER DATA_FOLDER ELSEWHERE OTHER_PAGE SHOTS
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/viewer_window.sh"

viewer=$1
data=$2
elsewhere=$3
other_page=$4
shots=$5
model=$data/duskfen/structures/blocka.pie
mkdir -p "$shots"

shot() { /usr/bin/import -window root "$shots/$1.png"; }
press() {
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
}
# Saves standard input to FILE as editors that write a new file and rename it over the old one do.
save_by_rename() {
  cat >"$1.new"
  mv -f "$1.new" "$1"
}

(cd "$elsewhere" && SDL_VIDEODRIVER=x11 exec "$viewer" "$data") &
pid=$!
focus_viewer_window "$pid" "$shots"
sleep 1.5
shot 00_start

# Every face now samples the page's purple quarter: written in place.
cp "$model" "$shots/blocka.original"
sed -E 's/^\t2200 4 ([0-9]+ [0-9]+ [0-9]+ [0-9]+) .*/\t2200 4 \1 152 24 232 24 232 104 152 104/' \
  "$shots/blocka.original" >"$shots/blocka.purple"
cp "$shots/blocka.purple" "$model"
sleep 1
shot 01_purple

# Cut short: the last good model stays, with the reason in red.
head -c 120 "$shots/blocka.original" >"$model"
sleep 1
shot 02_broken

# The first version back, saved by renaming a new file over the broken one.
save_by_rename "$model" <"$shots/blocka.original"
sleep 1
shot 03_fixed

# Another page, all cyan, renamed over the old one.
save_by_rename "$data/duskfen/texpages/e2epage.dds" <"$other_page"
sleep 1
shot 04_cyan_page

# F12, and the screen at once: both show the same frame but for the note and the frame count.
press F12
sleep 0.3
shot 05_saved
press F12
sleep 0.3

# I: the facts box; then I again to hide it.
press i
sleep 0.5
shot 06_facts
press i

# PageDown walks the structures: blockb, blockc, then round to blocka.
for step in 1 2 3; do
  press Next
  sleep 0.5
  shot "07_page_down_$step"
done

press Escape
wait "$pid"
echo "$?" >"$shots/exit_code"
