#!/usr/bin/env bash
# End to end, a modder's loop: the viewer started from another folder on a data set's absolute
# path, its shown model edited on disk (in place, cut short, renamed over), its page swapped,
# F12 screenshots, the facts box and PageDown, each step checked on a screenshot.
# Usage: modder_day.sh SOURCE_DIR BUILD_DIR
# The screenshots stay in BUILD_DIR/test-output/modder_day for a person to look at.
set -uo pipefail

src=$1
build=$2
viewer=$build/kvrview
shots=$build/test-output/modder_day

for tool in xvfb-run xdotool perl od awk cmp sed /usr/bin/import /usr/bin/convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "modder_day: $tool is missing (scripts/install-deps installs it)" >&2
    exit 1
  fi
done
[ -x "$viewer" ] || { echo "modder_day: no viewer at $viewer" >&2; exit 1; }

work=$(mktemp -d /tmp/kvr-modder-XXXXXX)
trap 'rm -rf "$work"' EXIT
data=$work/data\ set
elsewhere=$work/elsewhere
mkdir -p "$elsewhere"
rm -rf "$shots"
mkdir -p "$shots"
perl "$src/tests/scripts/e2e/make_dataset.pl" "$data" "$work/cyan.dds" ||
  { echo "modder_day: data set not made" >&2; exit 1; }
# A picture of the data set's own in another letter case: F12 takes its exact name beside it.
echo theirs >"$data/KVRVIEW-0001.PNG"

xvfb-run -a -s '-screen 0 1024x768x24' \
  bash "$src/tests/scripts/e2e/drive_modder_day.sh" "$viewer" "$data" "$elsewhere" "$work/cyan.dds" "$shots"
cp "$data/KVRerrors.log" "$shots/" 2>/dev/null
cp "$data"/kvrview-*.png "$shots/" 2>/dev/null

pixels() { /usr/bin/convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 rgb:- | od -An -v -tu1 -w3; }
count() { pixels "$1" "$2" "$3" "$4" "$5" | awk "{ r = \$1; g = \$2; b = \$3 } $6 { n++ } END { print n + 0 }"; }
changed() {
  cmp -l <(/usr/bin/convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 rgb:-) \
         <(/usr/bin/convert "$6" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 rgb:-) 2>/dev/null | wc -l
}

. "$src/tests/scripts/e2e/checks.sh"
atleast() { [ "$1" -ge "$2" ] || { echo "     ($1 < $2)"; return 1; }; }
atmost() { [ "$1" -le "$2" ] || { echo "     ($1 > $2)"; return 1; }; }
equals() { [ "$1" = "$2" ] || { echo "     ('$1' is not '$2')"; return 1; }; }

s() { echo "$shots/$1.png"; }
for name in 00_start 01_purple 02_broken 03_fixed 04_cyan_page 05_saved 06_facts \
            07_page_down_1 07_page_down_2 07_page_down_3; do
  if [ ! -s "$(s $name)" ]; then
    echo "FAIL screenshot $name was not taken"
    exit 1
  fi
done

ORANGE='r > 230 && g > 120 && g < 160 && b < 30'
PURPLE='r > 130 && r < 170 && g > 40 && g < 80 && b > 180'
CYAN='r < 60 && g > 180 && b > 200'
RED='r > 180 && g < 80 && b < 80'
LIT='r + g + b > 30'
MODEL="212 100 600 460"   # where the box stands
NAME="400 0 280 18"       # the model's name
NOTE="400 20 620 18"      # the red line under it

# Started elsewhere on an absolute path: the data set is shown and the log written into it.
check "the first structure is drawn" atleast "$(count "$(s 00_start)" $MODEL "$LIT")" 5000
check "it shows the page's orange" atleast "$(count "$(s 00_start)" $MODEL "$ORANGE")" 5000
check "the log is in the data set's folder" test -s "$data/KVRerrors.log"
check "no log in the folder it was started from" test ! -e "$elsewhere/KVRerrors.log"

# The PIE file rewritten to sample purple: seen within a second, camera and selection unchanged.
check "the edited model shows purple" atleast "$(count "$(s 01_purple)" $MODEL "$PURPLE")" 5000
check "and no orange any more" atmost "$(count "$(s 01_purple)" $MODEL "$ORANGE")" 0
check "its outline did not move (same camera)" equals \
  "$(count "$(s 01_purple)" $MODEL "$LIT")" "$(count "$(s 00_start)" $MODEL "$LIT")"
check "the same model is selected" atmost "$(changed "$(s 00_start)" $NAME "$(s 01_purple)")" 0

# Cut short: the picture stays, the reason shows in red; the good file clears it.
check "a broken file keeps the last good picture" atmost "$(changed "$(s 01_purple)" $MODEL "$(s 02_broken)")" 0
check "the reason is written in red" atleast "$(count "$(s 02_broken)" $NOTE "$RED")" 60
check "no red line before" atmost "$(count "$(s 01_purple)" $NOTE "$RED")" 0
check "the good file renamed over it shows again" atleast "$(count "$(s 03_fixed)" $MODEL "$ORANGE")" 5000
check "and clears the red line" atmost "$(count "$(s 03_fixed)" $NOTE "$RED")" 0

# The page replaced: the colours change.
check "the new page's cyan is shown" atleast "$(count "$(s 04_cyan_page)" $MODEL "$CYAN")" 5000
check "and the old orange is gone" atmost "$(count "$(s 04_cyan_page)" $MODEL "$ORANGE")" 0

# F12: the PNG holds the frame on screen, but for the frame count and the note that reports it.
saved=$data/kvrview-0001.png
check "F12 wrote kvrview-0001.png in the data set's folder" test -s "$saved"
check "a second F12 wrote kvrview-0002.png" test -s "$data/kvrview-0002.png"
check "and left KVRVIEW-0001.PNG beside them as it was" equals "$(cat "$data/KVRVIEW-0001.PNG")" theirs
check "the note says it was saved" atleast "$(count "$(s 05_saved)" 400 40 300 18 'r > 180 && g > 180 && b < 80')" 30
check "the note is not in the picture" atmost "$(count "$saved" 400 40 300 18 'r > 180 && g > 180 && b < 80')" 0
check "the picture is the screen: above the note" atmost "$(changed "$saved" 0 0 690 40 "$(s 05_saved)")" 0
check "the picture is the screen: below the note" atmost "$(changed "$saved" 0 60 1024 708 "$(s 05_saved)")" 0
check "the picture is the screen: right of the frame count" atmost "$(changed "$saved" 800 0 224 40 "$(s 05_saved)")" 0

# I: the facts box at the top right. Its triangle count is looked for as a picture: the line as the
# viewer's font draws it on the box's colour, found pixel for pixel in the box. The box is 24
# triangles: six two-sided quads.
check "I shows the facts box" atleast "$(changed "$(s 05_saved)" 700 40 324 260 "$(s 06_facts)")" 500
found_in_box() {
  # A helper, not the program under test: in the sanitizer build the graphics stack's own leaks
  # would fail it.
  ASAN_OPTIONS=detect_leaks=0 SDL_VIDEODRIVER=offscreen "$build/tests/kvr_text_image" "$1" "$work/line.png" 20 24 32 &&
    /usr/bin/convert "$work/line.png" -crop 1024x30+0+0 +repage -trim +repage "$work/line-trimmed.png" &&
    /usr/bin/convert "$(s 06_facts)" -crop 424x260+600+40 +repage "$work/box.png" &&
    /usr/bin/compare -metric AE -subimage-search "$work/box.png" "$work/line-trimmed.png" null: 2>&1 | grep -q '^0 @'
}
check "the facts box says 24 triangles drawn" found_in_box "24 (level 0 of 1)"
not_found_in_box() { ! found_in_box "$1"; }
check "and not 23 (the search tells numbers apart)" not_found_in_box "23 (level 0 of 1)"

# PageDown: blockb, blockc, then blocka again.
check "PageDown shows another model" atleast "$(changed "$(s 06_facts)" $NAME "$(s 07_page_down_1)")" 30
check "and another" atleast "$(changed "$(s 07_page_down_1)" $NAME "$(s 07_page_down_2)")" 30
check "and wraps round to the first" atmost "$(changed "$(s 00_start)" $NAME "$(s 07_page_down_3)")" 0

check "the viewer exits with 0" equals "$(cat "$shots/exit_code" 2>/dev/null)" "0"
check "the log ends with Closing down" equals "$(tail -n 1 "$data/KVRerrors.log" 2>/dev/null | tr -d '\r')" "Closing down"
check "the log names every reload" equals "$(grep -c '^Reloaded duskfen' "$data/KVRerrors.log")" "2"
check "and the broken file" equals "$(grep -c '^Model file ends early, skipped: duskfen' "$data/KVRerrors.log")" "1"

if [ "$failures" -ne 0 ]; then
  echo "modder_day: $failures checks failed; screenshots in $shots" >&2
  exit 1
fi
echo "modder_day: all checks passed; screenshots in $shots"
