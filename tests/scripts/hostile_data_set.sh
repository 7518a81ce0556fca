#!/usr/bin/env bash
# A data set built to hurt the viewer (tests/scripts/hostile/make_hostile_set.py), run for real
# under a virtual X server: loading ends, Escape ends the program with exit code 0, the peak
# resident memory stays under 2 GiB, every refused thing has its log line and the log holds no
# control byte. Then the log's own name as a link to a file outside, a dangling link, a pipe and a
# folder: the file outside is unchanged, the link's target is never created, nothing blocks, and
# standard error says once why there is no log. Then links, the log named as data and a long load
# (below). Usage: hostile_data_set.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
viewer=$build/kvrview
for tool in xvfb-run xdotool python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "hostile: $tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done
[ -x "$viewer" ] || { echo "hostile: no viewer at $viewer" >&2; exit 1; }

work=$(mktemp -d /tmp/kvr-hostile-XXXXXX)
trap 'rm -rf "$work"' EXIT
. "$src/tests/scripts/e2e/checks.sh"

# run_viewer FOLDER NAME [FILE] [early]: the viewer started in FOLDER under Xvfb and sent Escape
# every two seconds until it stops (at most 300 s), FILE (when given) edited a second after the
# start; writes NAME.rc, NAME.kb (peak resident KiB) and NAME.err. Escape gives a load up, so the
# first one waits until the log has stood still for five seconds (the load is over, however slow
# the build), unless "early" asks for it during the load.
run_viewer() {
  local folder=$1 name=$2 edited=${3:-} early=${4:-}
  cat >"$work/$name.drive" <<EOS
cd "$folder"
SDL_VIDEODRIVER=x11 /usr/bin/time -o "$work/$name.kb" -f %M "$viewer" 2>"$work/$name.err" &
pid=\$!
[ -n "$edited" ] && (sleep 1; printf '\n' >>"$edited") &
if [ -z "$early" ]; then
  last=-1 still=0
  for _ in \$(seq 1 240); do
    sleep 1
    kill -0 \$pid 2>/dev/null || break
    size=\$(stat -c %s KVRerrors.log 2>/dev/null || echo none)
    if [ "\$size" = "\$last" ]; then still=\$((still + 1)); else still=0 last=\$size; fi
    [ \$still -ge 5 ] && break
  done
fi
for _ in \$(seq 1 150); do
  sleep 2
  kill -0 \$pid 2>/dev/null || break
  xdotool key Escape 2>/dev/null
done
# /usr/bin/time does not pass a signal on: the viewer under it is stopped first.
if kill -0 \$pid 2>/dev/null; then pkill -P \$pid; kill \$pid; echo timeout >"$work/$name.err2"; fi
wait \$pid
echo \$? >"$work/$name.rc"
EOS
  xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/$name.drive"
}

# ---- the hostile data set
set_dir=$work/set
mkdir -p "$set_dir"
python3 "$src/tests/scripts/hostile/make_hostile_set.py" "$set_dir" || { echo "hostile: data set not made" >&2; exit 1; }
run_viewer "$set_dir" set
log=$set_dir/KVRerrors.log
has() { grep -qxF -- "$1" "$log" || { echo "     (no line '$1')"; return 1; }; }
equals() { [ "$1" = "$2" ] || { echo "     ('$1' is not '$2')"; return 1; }; }
below() { [ "$1" -lt "$2" ] || { echo "     ($1 is not below $2)"; return 1; }; }

check "loading ends and Escape ends the viewer with exit code 0" equals "$(cat "$work/set.rc")" 0
check "peak resident memory under 2 GiB ($(cat "$work/set.kb" 2>/dev/null) KiB)" below "$(tail -n 1 "$work/set.kb")" 2097152
check "the absolute prefix is refused" has "Refused /etc/: the path is absolute"
check "the climbing prefix is refused" has 'Refused ..\..\outside\: the path climbs out of the data set'
check "the network share prefix is refused" has 'Refused \\host\share\: the path is absolute'
check "the climbing animation name is refused" has 'Refused anims\..\..\..\etc\passwd: the path climbs out of the data set'
check "the 40-character prefix's category loads" has "longfolder"
check "... and its model opens" bash -c "! grep -q 'longfolder.pie' '$log'"
check "a pipe as a manifest" has 'Failed to open weapons\Weapons.gam'
check "a pipe as a model" has 'Failed to open structures\fifomodel.pie'
check "a pipe as an animation" has 'Failed to open animation file anims\fifo.ani'
check "a pipe as a page" has 'duskfen\texpages\fifopage.dds'
check "a page linked to /dev/zero" has 'duskfen\texpages\zeropage.dds'
check "the 4097 x 4097 page is refused once, however it is named" \
  equals "$(grep -cF 'Texture page larger than 4096 x 4096 texels once rounded, skipped: duskfen\texpages\' "$log")" 1
check "the model listed 5,000 times stops at a ceiling" \
  bash -c "grep -q 'would pass .*skipped: propulsions.heavy.pie' '$log'"
check "ESC and backspace are logged as \\xNN" has 'evil\x1B[2J\x08\x08name'
check "the log holds no byte below 0x20 but line ends" equals "$(tr -d '\n' <"$log" | LC_ALL=C tr -d '\040-\176\200-\377' | wc -c)" 0

# ---- the log's own name, made hostile
outside=$work/outside.txt
printf 'the user'"'"'s own file\n' >"$outside"
cp "$outside" "$work/outside.before"
for kind in link dangling pipe folder; do
  dir=$work/log-$kind
  mkdir -p "$dir"
  case $kind in
    link) ln -s "$outside" "$dir/KVRerrors.log" ;;
    dangling) ln -s "$work/created-by-the-viewer.txt" "$dir/KVRerrors.log" ;;
    pipe) mkfifo "$dir/KVRerrors.log" ;;
    folder) mkdir "$dir/KVRerrors.log" ;;
  esac
  run_viewer "$dir" "log-$kind"
  check "log as a $kind: exit code 0" equals "$(cat "$work/log-$kind.rc")" 0
  check "log as a $kind: standard error says once why" equals "$(grep -c 'running without a log' "$work/log-$kind.err")" 1
done
check "the file outside is byte for byte unchanged" cmp -s "$outside" "$work/outside.before"
check "the dangling link's target was not created" test ! -e "$work/created-by-the-viewer.txt"

# ---- links, the log as data, work without end
# Links out of the folder are refused before a byte is read (a manifest linked to a secret leaks
# nothing, in the log, --check or --json); links that stay inside are followed; a link to a device
# is never opened; one file listed many ways is read once; the log named as an animation is refused
# and never read again; Escape during a long load ends it and the program, with the closing line.
linked=$work/linked
mkdir -p "$linked"/{duskfen/texpages,features,structures,bodies,common,anims,textures,slow}
printf 'SECRETWORD1 SECRETWORD2\n' >"$work/secret.txt"
cp "$src/sample/textures/kvrcursor.dds" "$work/cursor-outside.dds"
printf '%s\n' 'Features: features\' 'Structures: structures\' 'Bodies: bodies\' 'Animations: anims\' \
  >"$linked/duskfen/KVRStartUp.gam"
# The log, once written, holds these words: old viewers read it as an animation.
printf 'ANIM3DFRAMES log 1 10 0 {\n0 0 0 0 0 0 0 0 0 0\n}\n' >"$linked/features/Features.gam"
ln -s "$work/secret.txt" "$linked/structures/Structures.gam"
printf 'shared\n' >"$linked/bodies/Bodies.gam"
cp "$src/sample/duskfen/bodies/bug.pie" "$linked/common/shared.pie"
ln -s ../common/shared.pie "$linked/bodies/shared.pie"
ln -s /dev/zero "$linked/anims/zero.ani"
ln -s big.ani "$linked/anims/alias.ani"
{ printf 'ANIM3DFRAMES "shared.pie" 1 10 0 {\n'; head -c 1048576 /dev/zero | tr '\0' '0' | fold -w 64; printf '}\n'; } >"$linked/anims/big.ani"
printf '%s ' '..\KVRerrors.log' zero.ani big.ani BIG.ANI ./big.ani alias.ani >"$linked/anims/Animations.gam"
ln -s "$work/cursor-outside.dds" "$linked/textures/kvrcursor.dds"

"$viewer" --check "$linked" >"$work/linked.txt" 2>&1
"$viewer" --check --json "$linked" >"$work/linked.json" 2>&1
# An animation edited while the viewer runs: its reload writes the log, which must not be read.
run_viewer "$linked" linked "$linked/anims/big.ani"
llog=$linked/KVRerrors.log
cp "$llog" "$work/linked.log"
# Then 400,000 names that are not there: a load of many seconds, given up by Escape.
seq -f 'missing%.0f' 1 400000 >"$linked/slow/Propulsions.gam"
printf 'Propulsions: slow\\\n' >>"$linked/duskfen/KVRStartUp.gam"
run_viewer "$linked" slow "" early
slog=$llog
llog=$work/linked.log
lhas() { grep -qxF -- "$1" "$llog" || { echo "     (no line '$1')"; return 1; }; }
count() { grep -cxF -- "$1" "$llog"; }
check "no word of a file outside reaches --check, --json or the log" \
  bash -c "! grep -q SECRETWORD '$work/linked.txt' '$work/linked.json' '$llog'"
check "the manifest linked outside is refused in one line" \
  equals "$(count 'Refused structures\Structures.gam: it leads outside the data set')" 1
check "... and --check names it" grep -qxF 'structures\Structures.gam: refused: it leads outside the data set' "$work/linked.txt"
check "the cursor linked outside is refused" lhas 'Refused textures\kvrcursor.dds: it leads outside the data set'
check "a link that stays inside is followed" grep -q '"name": "shared"' "$work/linked.json"
check "a link to a device is not opened" lhas 'Failed to open animation file anims\zero.ani'
check "a file listed four ways (one a link) is read once" \
  equals "$(grep -c '^Already read in this load, not read again: anims\\' "$llog")" 3
check "the log named as an animation is refused once" \
  equals "$(count 'Refused anims\..\KVRerrors.log: kvrview writes it')" 1
check "... and never read again" bash -c "! grep -qF 'Reloaded anims\..\KVRerrors.log' '$llog'"
check "the edited animation is read again once" equals "$(count 'Reloaded anims\big.ani')" 1
check "the viewer on them ends with exit code 0" equals "$(cat "$work/linked.rc")" 0
check "Escape during a long load gives it up" grep -qxF 'Loading given up' "$slog"
check "... and ends the program with the closing line" equals "$(tail -n 1 "$slog")" 'Closing down'
check "... with exit code 0" equals "$(cat "$work/slow.rc")" 0

# ---- the Windows build under Wine, which reports no Unix link as one: the log's link and a manifest
# linked outside are still refused (KVR_SKIP_WINE=1 leaves this out).
winexe=$src/build-win/kvrview.exe
if [[ ${KVR_SKIP_WINE:-0} != 1 ]] && command -v wine >/dev/null && [ -x "$winexe" ]; then
  wset=$work/wine-set
  cp -r "$src/sample" "$wset"
  ln -sf "$work/secret.txt" "$wset/duskfen/structs/Structures.gam"
  printf 'the user'"'"'s own file\n' >"$work/wine-victim.txt"
  cp "$work/wine-victim.txt" "$work/wine-victim.before"
  ln -s "$work/wine-victim.txt" "$wset/KVRerrors.log"
  (cd "$wset" && WINEDEBUG=-all timeout 300 xvfb-run -a wine "$winexe" --check . >"$work/wine-check.txt" 2>&1)
  cat >"$work/wine.drive" <<EOS
cd "$wset"
WINEDEBUG=-all wine "$winexe" >"$work/wine.err" 2>&1 &
pid=\$!
for _ in \$(seq 1 60); do sleep 3; kill -0 \$pid 2>/dev/null || break; xdotool key Escape 2>/dev/null; done
kill -0 \$pid 2>/dev/null && kill \$pid
wait \$pid
EOS
  xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/wine.drive"
  check "Wine: the manifest linked outside is refused" \
    grep -qF 'duskfen\structs\Structures.gam: refused: it leads outside the data set' "$work/wine-check.txt"
  check "Wine: no word of it is printed" bash -c "! grep -q SECRETWORD '$work/wine-check.txt'"
  check "Wine: the file behind the log's link is byte for byte unchanged" \
    cmp -s "$work/wine-victim.txt" "$work/wine-victim.before"
  check "Wine: standard error says why there is no log" grep -q 'running without a log' "$work/wine.err"
else
  echo "hostile: no Wine run (KVR_SKIP_WINE, wine or build-win/kvrview.exe missing)"
fi

if [ $failures -ne 0 ]; then
  echo "hostile: $failures checks failed; the log:" >&2
  head -c 20000 "$log" >&2
  exit 1
fi
echo "hostile: every check passed"
