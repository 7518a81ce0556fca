#!/usr/bin/env bash
# End to end: the viewer on a small generated data set under a virtual X server, driven with
# xdotool as a person would (T, a category row, a name, the green slider, R, A, Escape), with
# each step checked on a screenshot. Usage: e2e_viewer.sh SOURCE_DIR BUILD_DIR
# The screenshots stay in BUILD_DIR/test-output/e2e_viewer for a person to look at.
set -uo pipefail

src=$1
build=$2
viewer=$build/kvrview
shots=$build/test-output/e2e_viewer

for tool in xvfb-run xdotool perl od awk cmp /usr/bin/import /usr/bin/convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "e2e: $tool is missing (scripts/install-deps installs it)" >&2
    exit 1
  fi
done
[ -x "$viewer" ] || { echo "e2e: no viewer at $viewer" >&2; exit 1; }

data=$(mktemp -d /tmp/kvr-e2e-XXXXXX)
trap 'rm -rf "$data"' EXIT
rm -rf "$shots"
mkdir -p "$shots"
perl "$src/tests/scripts/e2e/make_dataset.pl" "$data" || { echo "e2e: data set not made" >&2; exit 1; }

xvfb-run -a -s '-screen 0 1024x768x24' \
  bash "$src/tests/scripts/e2e/drive_viewer.sh" "$viewer" "$data" "$shots"
cp "$data/KVRerrors.log" "$shots/" 2>/dev/null

# ---- screenshot helpers: convert is called by full path, another one may come first in PATH

# Pixels of the rectangle W x H at (X, Y) as lines "r g b".
pixels() { /usr/bin/convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 rgb:- | od -An -v -tu1 -w3; }
# Number of pixels of the rectangle for which the awk condition on r, g, b holds.
count() { pixels "$1" "$2" "$3" "$4" "$5" | awk "{ r = \$1; g = \$2; b = \$3 } $6 { n++ } END { print n + 0 }"; }
pixel_at() { pixels "$1" "$2" "$3" 1 1 | awk '{ print $1, $2, $3 }'; }
# Number of bytes that differ in the rectangle between two screenshots.
changed() {
  cmp -l <(/usr/bin/convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 rgb:-) \
         <(/usr/bin/convert "$6" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 rgb:-) 2>/dev/null | wc -l
}

. "$src/tests/scripts/e2e/checks.sh"
atleast() { [ "$1" -ge "$2" ] || { echo "     ($1 < $2)"; return 1; }; }
atmost() { [ "$1" -le "$2" ] || { echo "     ($1 > $2)"; return 1; }; }
equals() { [ "$1" = "$2" ] || { echo "     ('$1' is not '$2')"; return 1; }; }

RED='r > 180 && g < 60 && b < 60'
GREEN='g > 180 && r < 60 && b < 60'
BLUE='b > 180 && r < 60 && g < 60'
YELLOW='r > 180 && g > 180 && b < 80'
LIT='r + g + b > 30'

s() { echo "$shots/$1.png"; }
for name in 00_start 01_categories 02_hover_bodies 03_bodies_listed 04_name_chosen \
            05_green_background 06_still 07_turning 08_turning_later 09_axes; do
  if [ ! -s "$(s $name)" ]; then
    echo "FAIL screenshot $name was not taken"
    exit 1
  fi
done

# The start: the first structure, its name, the frame count, the bars and the cursor.
check "the first structure is drawn in the middle" atleast "$(count "$(s 00_start)" 312 150 280 240 "$LIT")" 5000
check "its name is written in yellow at the top" atleast "$(count "$(s 00_start)" 400 0 150 18 "$YELLOW")" 10
check "FPS is written in yellow" atleast "$(count "$(s 00_start)" 700 0 40 16 "$YELLOW")" 10
check "the red bar's frame is red" atleast "$(count "$(s 00_start)" 20 752 200 3 "$RED")" 150
check "the green bar's frame is green" atleast "$(count "$(s 00_start)" 300 752 200 3 "$GREEN")" 150
check "the blue bar's frame is blue" atleast "$(count "$(s 00_start)" 580 752 200 3 "$BLUE")" 150
check "the cursor is drawn at the pointer" atleast "$(count "$(s 00_start)" 600 400 16 26 'r > 200 && g > 200 && b > 200')" 20

# T: the category panel, the current category (structures, row 6) blue, the others red.
for row in 0 1 2 3 4 5 7; do
  check "category row $row is red" atleast "$(count "$(s 01_categories)" 0 $((20 * row)) 150 20 "$RED")" 10
done
check "the structures row is blue" atleast "$(count "$(s 01_categories)" 0 120 150 20 "$BLUE")" 10
check "the structures row has no red" atmost "$(count "$(s 01_categories)" 0 120 150 20 "$RED")" 0
check "the hovered row is green" atleast "$(count "$(s 02_hover_bodies)" 0 0 150 20 "$GREEN")" 10
check "the hovered row has no red" atmost "$(count "$(s 02_hover_bodies)" 0 0 150 20 "$RED")" 0

# A click on BODIES: the two bodies listed in red, nothing selected, no model.
check "the first body is listed in red" atleast "$(count "$(s 03_bodies_listed)" 0 0 150 20 "$RED")" 10
check "the second body is listed in red" atleast "$(count "$(s 03_bodies_listed)" 0 20 150 20 "$RED")" 10
check "no third row" atmost "$(count "$(s 03_bodies_listed)" 0 40 150 140 "$LIT")" 0
check "no row is highlighted" atmost "$(count "$(s 03_bodies_listed)" 0 0 150 40 "$BLUE")" 0
check "no model is drawn" atmost "$(count "$(s 03_bodies_listed)" 312 150 280 240 "$LIT")" 0
check "no model name is written" atmost "$(count "$(s 03_bodies_listed)" 400 0 150 18 "$YELLOW")" 0

# A click on the second name: it is highlighted and its model drawn.
check "the chosen name is blue" atleast "$(count "$(s 04_name_chosen)" 0 20 150 20 "$BLUE")" 10
check "the other name stays red" atleast "$(count "$(s 04_name_chosen)" 0 0 150 20 "$RED")" 10
check "the chosen body is drawn" atleast "$(count "$(s 04_name_chosen)" 312 150 280 240 "$LIT")" 2000
check "its name is written" atleast "$(count "$(s 04_name_chosen)" 400 0 150 18 "$YELLOW")" 10

# The green slider at value 60: the background.
check "the background is (0, 60, 0)" equals "$(pixel_at "$(s 05_green_background)" 900 200)" "0 60 0"
check "everywhere" equals "$(pixel_at "$(s 05_green_background)" 200 600)" "0 60 0"
check "the green knob sits under the pointer" atleast "$(count "$(s 05_green_background)" 354 754 3 10 "$GREEN")" 5

# R: the model turns; before it, it stood still.
check "without R the model stands still" atmost "$(changed "$(s 05_green_background)" 212 100 600 500 "$(s 06_still)")" 0
check "after R the model's pixels change" atleast "$(changed "$(s 07_turning)" 212 100 600 500 "$(s 08_turning_later)")" 1000

# A: the axes, x red to the right, y green above, z blue towards the viewer (below the middle).
AXIS_RED='r > 100 && g < 30 && b < 30'
AXIS_GREEN='g > 120 && r < 40 && b < 40'
AXIS_BLUE='b > 40 && r < 30 && g < 30'
check "no x axis before A" atmost "$(count "$(s 08_turning_later)" 800 370 200 30 "$AXIS_RED")" 0
check "the x axis is red" atleast "$(count "$(s 09_axes)" 800 370 200 30 "$AXIS_RED")" 100
check "no y axis before A" atmost "$(count "$(s 08_turning_later)" 496 30 32 170 "$AXIS_GREEN")" 0
check "the y axis is green" atleast "$(count "$(s 09_axes)" 496 30 32 170 "$AXIS_GREEN")" 80
check "no z axis before A" atmost "$(count "$(s 08_turning_later)" 496 450 32 220 "$AXIS_BLUE")" 0
check "the z axis is blue" atleast "$(count "$(s 09_axes)" 496 450 32 220 "$AXIS_BLUE")" 100

# Escape: a clean stop.
check "the viewer exits with 0" equals "$(cat "$shots/exit_code" 2>/dev/null)" "0"
check "the log ends with Closing down" equals "$(tail -n 1 "$shots/KVRerrors.log" 2>/dev/null | tr -d '\r')" "Closing down"

if [ "$failures" -ne 0 ]; then
  echo "e2e: $failures checks failed; screenshots in $shots" >&2
  exit 1
fi
echo "e2e: all checks passed; screenshots in $shots"
