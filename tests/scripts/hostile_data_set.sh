#!/usr/bin/env bash
# A data set built to hurt the viewer (tests/scripts/hostile/make_hostile_set.py), run for real
# under a virtual X server: loading ends, Escape ends the program with exit code 0, the peak
# resident memory stays under 2 GiB, every refused thing has its log line and the log holds no
# control byte. Then the log's own name as a link to a file outside, a dangling link, a pipe and a
# folder: the file outside is unchanged, the link's target is never created, nothing blocks, and
# standard error says once why there is no log. Usage: hostile_data_set.sh SOURCE_DIR BUILD_DIR
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

# run_viewer FOLDER NAME: the viewer started in FOLDER under Xvfb and sent Escape every two seconds
# until it stops (at most 300 s); writes NAME.rc, NAME.kb (peak resident KiB) and NAME.err.
run_viewer() {
  local folder=$1 name=$2
  cat >"$work/$name.drive" <<EOS
cd "$folder"
SDL_VIDEODRIVER=x11 /usr/bin/time -o "$work/$name.kb" -f %M "$viewer" 2>"$work/$name.err" &
pid=\$!
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

if [ $failures -ne 0 ]; then
  echo "hostile: $failures checks failed; the log:" >&2
  head -c 20000 "$log" >&2
  exit 1
fi
echo "hostile: every check passed"
