#!/usr/bin/env bash
# kvrview --render and --sheet as a user runs them, with no display at all: colours where the
# model and the background must be, sizes, reproducible files, the animation clock, the sheet's
# cells, and every mistake with its exit code, all without writing into the data set's folder.
# Usage: picture_commands.sh SOURCE_DIR BUILD_DIR
set -uo pipefail

src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
viewer=$build/kvrview

for tool in perl /usr/bin/convert cmp; do
  command -v "$tool" >/dev/null || { echo "picture commands: $tool is missing" >&2; exit 1; }
done
[ -x "$viewer" ] || { echo "picture commands: no viewer at $viewer" >&2; exit 1; }

work=$(mktemp -d /tmp/kvr-pictures-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

. "$src/tests/scripts/e2e/checks.sh"
# "W H" of a picture, and one pixel as "R,G,B".
size() { /usr/bin/convert "$1" -format '%w %h' info:; }
pixel() { /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
# How many colours a rectangle W H X Y of a picture holds.
colours() { /usr/bin/convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -format '%k' info:; }
at_least() { [ -n "$1" ] && [ "$1" -ge "$2" ] || { echo "     ($1 is below $2)"; return 1; }; }
# Every file under a folder with its checksum: what the commands must leave as it was.
listing() { (cd "$1" && find . -print0 | sort -z | xargs -0 -n 64 sh -c 'for f; do [ -f "$f" ] && cksum "$f" || echo "$f"; done' _); }
# The viewer as a user with no display runs it. Through run_sanitized, which changes nothing for a
# plain build and keeps the software GL driver loaded for a sanitized one, whose leak check would
# otherwise blame the driver's own state once it is unloaded.
kvr() { env -u DISPLAY -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY "$src/tests/asan/run_sanitized" "$viewer" "$@"; }

# The boxes of the end-to-end data set, and a model of two levels shown in turn by a frames
# animation at ten a second: level 1 a square of the page's orange quarter, level 2 of its purple.
data="$work/data"
perl "$src/tests/scripts/e2e/make_dataset.pl" "$data" || { echo "picture commands: data set not made" >&2; exit 1; }
square() {
  printf 'LEVEL %s\nPOINTS 4\n\t-100 0 0\n\t100 0 0\n\t100 200 0\n\t-100 200 0\nPOLYGONS 1\n' "$1"
  printf '\t2200 4 0 1 2 3 %s %s %s %s %s %s %s %s\n' "$2" 24 "$(($2 + 80))" 24 "$(($2 + 80))" 104 "$2" 104
}
{ printf 'PIE 2\nTYPE 200\nTEXTURE 0 e2epage.pcx 256 256\nLEVELS 2\n'; square 1 24; square 2 152; } \
  >"$data/duskfen/structures/pulse.pie"
printf 'blocka\nblockb\nblockc\npulse\n' >"$data/duskfen/structures/Structures.gam"
printf 'ANIM3DFRAMES "pulse.pie" 2 10\n0 {\n\t0  0 0 0  0 0 0  0 0 0\n\t1  0 0 0  0 0 0  0 0 0\n}\n' \
  >"$data/duskfen/animations/pulse.ani"
printf 'pulse.ani\n' >"$data/duskfen/animations/Animations.gam"
before=$(listing "$data")

# The three-quarter view of a box shows its front face (the page's orange quarter) in the middle.
kvr --render blocka -o square.png data 2>square.err
check "--render exits with 0" equals "$?" 0
check "the picture is 512 x 512 by default" equals "$(size square.png)" "512 512"
check "the front face is in the middle" equals "$(pixel square.png 256 256)" "255,140,0"
check "the corners are the black background" equals \
  "$(pixel square.png 0 0) $(pixel square.png 511 0) $(pixel square.png 0 511) $(pixel square.png 511 511)" \
  "0,0,0 0,0,0 0,0,0 0,0,0"
check "the model fills most of the picture" at_least "$(colours square.png 512 100 0 206)" 3
kvr --render blocka --size 300x180 --background 20,60,200 -o wide.png "$data" 2>wide.err
check "--size sets the picture's size" equals "$(size wide.png)" "300 180"
check "the front face is in its middle too" equals "$(pixel wide.png 150 90)" "255,140,0"
check "--background shows at the corners" equals "$(pixel wide.png 0 0) $(pixel wide.png 299 179)" \
  "20,60,200 20,60,200"
kvr --render blocka -o again.png data 2>/dev/null
check "the same render twice gives the same file" cmp square.png again.png

kvr --render pulse --time 0 -o pulse0.png data 2>/dev/null
kvr --render pulse --time 150 -o pulse1.png data 2>/dev/null
kvr --render pulse --time 250 -o pulse2.png data 2>/dev/null
check "--time 0 shows the animation's first level" equals "$(pixel pulse0.png 256 256)" "255,140,0"
check "--time 150 shows its second" equals "$(pixel pulse1.png 256 256)" "150,60,200"
check "--time 250 is round to the first again" cmp pulse0.png pulse2.png

kvr --render nosuch -o nosuch.png data 2>nosuch.err
check "an unknown model exits with 1" equals "$?" 1
check "and says so" equals "$(cat nosuch.err)" "kvrview: no model nosuch in this data set"
check "and writes no picture" absent nosuch.png
kvr --render $'odd\x01\x1b[2Jname' -o odd.png data 2>odd.err
check "a name with control bytes exits with 1" equals "$?" 1
check "and is printed escaped" equals "$(cat odd.err)" 'kvrview: no model odd\x01\x1B[2Jname in this data set'
kvr --render blocka -o "$work/no such folder/x.png" data 2>unwritable.err
check "an -o that cannot be written exits with 1" equals "$?" 1
check "and names the file" holds unwritable.err "kvrview: could not write"

mkdir empty
kvr --render blocka -o empty.png empty 2>empty.err
check "a folder without a start-up manifest exits with 2" equals "$?" 2
check "and says which file was looked for" holds empty.err "KVRStartUp.gam"
kvr --sheet -o empty-sheet.png empty 2>/dev/null
check "--sheet there exits with 2 too" equals "$?" 2
check "the folder stays empty" equals "$(ls -A empty | wc -l)" 0

# The sample: 55 models, in cells of the picture's side with a 22-pixel band for the name.
cp -r "$src/sample" sample
sample_before=$(listing sample)
kvr --sheet --cell 96 --columns 8 -o sheet.png sample 2>sheet.err
check "--sheet exits with 0" equals "$?" 0
check "8 columns of 96 by 7 rows of 96 + 22" equals "$(size sheet.png)" "768 826"
check "the first cell shows a model" at_least "$(colours sheet.png 96 96 0 0)" 20
check "the 55th cell shows a model" at_least "$(colours sheet.png 96 96 576 708)" 20
check "a name is written under the first" at_least "$(colours sheet.png 96 22 0 96)" 2
check "the cell after the last is background" equals "$(colours sheet.png 96 118 672 708)" 1
kvr --sheet -o default.png sample 2>/dev/null
read -r width height <<<"$(size default.png)"
cells=$(( (width / 192) * (height / 214) ))
check "the default cells are 192 wide" equals "$((width % 192))" 0
check "and 192 + 22 high" equals "$((height % 214))" 0
check "one cell a model, no row to spare" equals "$((cells >= 55 && cells < 55 + width / 192))" 1
check "the default sheet is about 16:9" equals "$((width * 9 > height * 16 * 2 / 3 && width * 9 < height * 16 * 3 / 2))" 1
kvr --sheet -o default-again.png sample 2>/dev/null
check "the same sheet twice gives the same file" cmp default.png default-again.png

kvr --sheet --category bodies --columns 5 --cell 64 -o bodies.png sample 2>/dev/null
check "--category bodies has its five models" equals "$(size bodies.png)" "320 86"
kvr --sheet --category vehicles -o vehicles.png sample 2>vehicles.err
check "an unknown category exits with 2" equals "$?" 2
check "and lists the categories" holds vehicles.err "bodies, features, miscellaneous"
kvr --sheet --category features -o features.png data 2>features.err
check "a category without models exits with 1" equals "$?" 1
check "and says so" holds features.err "no model"

check "nothing was written into the data set" equals "$(listing "$data")" "$before"
check "nothing was written into the sample" equals "$(listing sample)" "$sample_before"

if [ "$failures" -ne 0 ]; then
  echo "picture commands: $failures checks failed" >&2
  exit 1
fi
echo "picture commands: all checks passed"
