#!/usr/bin/env bash
# kvrview --check with no display: the sample is clean, a data set with known faults lists
# exactly those, a folder without a start-up manifest exits 2, --json holds the same, progress
# shows only on a terminal, and nothing is written into the data set's folder.
# Usage: check_command.sh SOURCE_DIR BUILD_DIR
set -uo pipefail

src=$1
build=$2
viewer=$build/kvrview
[ -x "$viewer" ] || { echo "check_command: no viewer at $viewer" >&2; exit 1; }
for tool in perl python3 script; do
  command -v "$tool" >/dev/null || { echo "check_command: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d /tmp/kvr-check-XXXXXX)
trap 'rm -rf "$work"' EXIT
. "$src/tests/scripts/e2e/checks.sh"
equals() { [ "$1" = "$2" ] || { echo "     ('$1' is not '$2')"; return 1; }; }
empty() { [ ! -s "$1" ] || { echo "     ($1 is not empty: $(head -c 200 "$1"))"; return 1; }; }
# No display and no driver named: the check must not need either.
check_run() { env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$viewer" --check "$@"; }
listing() { (cd "$1" && find . -printf '%p %s %T@\n' | sort); }

# The sample: clean, with its counts.
listing "$src/sample" >"$work/sample.before"
check_run "$src/sample" >"$work/sample.out" 2>"$work/sample.err"
check "the sample checks clean (exit 0)" equals "$?" 0
check "the sample's summary" equals "$(cat "$work/sample.out")" \
  "55 models in 8 categories, 5 pages, 9 animations: 0 problems"
check "nothing on standard error when it is no terminal" empty "$work/sample.err"
listing "$src/sample" >"$work/sample.after"
check "nothing written into the sample's folder" cmp -s "$work/sample.before" "$work/sample.after"

# Known faults: a PIE file cut short, a listed file that is no model, a missing page, a missing
# animation file, a missing category manifest, a path leaving the data set, an unknown label.
set_dir=$work/faulty
perl "$src/tests/scripts/e2e/make_dataset.pl" "$set_dir"
head -c 100 "$set_dir/duskfen/structures/blockb.pie" >"$work/cut" && mv "$work/cut" "$set_dir/duskfen/structures/blockb.pie"
echo "MODEL 1" >"$set_dir/duskfen/structures/blockc.pie"
sed -i 's/e2epage/nopage/' "$set_dir/duskfen/bodies/bodyb.pie"
echo "spin.ani" >"$set_dir/duskfen/animations/Animations.gam"
rm "$set_dir/duskfen/weapons/Weapons.gam"
printf 'bodya\nbodyb\n..\\..\\..\\outside\n' >"$set_dir/duskfen/bodies/Bodies.gam"
sed -i 's/^Features:/Vehicles:/' "$set_dir/duskfen/KVRStartUp.gam"
listing "$set_dir" >"$work/faulty.before"
check_run "$set_dir" >"$work/faulty.out" 2>"$work/faulty.err"
check "a faulty data set exits with 1" equals "$?" 1
cat >"$work/faulty.expected" <<'LINES'
duskfen\animations\spin.ani: the animation file cannot be opened
duskfen\texpages\nopage.dds: the texture page is missing
duskfen\bodies\..\..\..\outside.pie: refused: the path climbs out of the data set
duskfen\KVRStartUp.gam: unknown label Vehicles: (its directory is not loaded)
duskfen\structures\blockb.pie: the model file ends early
duskfen\structures\blockc.pie: not a PIE model (it does not start with PIE)
duskfen\weapons\Weapons.gam: the category manifest cannot be opened
3 models in 2 categories, 1 pages, 0 animations: 7 problems
LINES
check "it lists exactly those problems" diff "$work/faulty.expected" "$work/faulty.out"
listing "$set_dir" >"$work/faulty.after"
check "nothing written into the faulty folder" cmp -s "$work/faulty.before" "$work/faulty.after"

# The same as one JSON document.
check_run --json "$set_dir" >"$work/faulty.json" 2>/dev/null
check "--json exits with 1 too" equals "$?" 1
summary=$(python3 - "$work/faulty.json" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1]))
models = {m["name"]: m for m in doc["models"]}
print(len(doc["models"]), len(doc["problems"]), doc["summary"]["problems"],
      models["blocka"]["triangles"], models["blocka"]["category"], models["bodyb"]["page"],
      models["bodyb"]["pageLoaded"], doc["problems"][2]["path"])
PY
)
check "--json parses and holds the same" equals "$summary" \
  '3 7 7 24 structures nopage.dds False duskfen\bodies\..\..\..\outside.pie'

# No start-up manifest, or no folder: exit 2.
mkdir "$work/empty"
check_run "$work/empty" >"$work/empty.out" 2>"$work/empty.err"
check "a folder without a start-up manifest exits with 2" equals "$?" 2
check "and says which file it looked for" equals "$(cat "$work/empty.err")" \
  'kvrview: no start-up manifest duskfen\KVRStartUp.gam in this folder'
check "nothing written into the empty folder" equals "$(ls -A "$work/empty")" ""
check_run "$work/missing" 2>/dev/null
check "a missing folder exits with 2" equals "$?" 2

# A display named but out of reach (a stale DISPLAY) stops nothing: the check runs as without one.
env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:4077 "$viewer" --check "$src/sample" >"$work/stale.out" 2>"$work/stale.err"
check "a display out of reach: the check still runs (exit 0)" equals "$?" 0
check "and gives the same summary" cmp -s "$work/sample.out" "$work/stale.out"

# On a terminal the progress is drawn on one line, redrawn in place.
script -qec "env -u DISPLAY -u SDL_VIDEODRIVER '$viewer' --check '$src/sample' 2>&1 >/dev/null" "$work/tty.log" >/dev/null
check "on a terminal the progress line is drawn" grep -q 'Structures.gam: [0-9]* of [0-9]* models' "$work/tty.log"

if [ "$failures" -ne 0 ]; then
  echo "check_command: $failures checks failed" >&2
  exit 1
fi
echo "check_command: all checks passed"
