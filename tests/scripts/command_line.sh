#!/usr/bin/env bash
# The command line of the built viewer: --help, --version, mistakes, and a start on a data set
# named by an absolute folder (with a space in its name) from another working directory, under a
# virtual X server. Usage: command_line.sh SOURCE_DIR BUILD_DIR
set -uo pipefail

src=$1
build=$2
viewer=$build/kvrview

for tool in xvfb-run xdotool perl; do
  command -v "$tool" >/dev/null || { echo "command line: $tool is missing" >&2; exit 1; }
done
[ -x "$viewer" ] || { echo "command line: no viewer at $viewer" >&2; exit 1; }

work=$(mktemp -d /tmp/kvr-cmdline-XXXXXX)
trap 'rm -rf "$work"' EXIT

. "$src/tests/scripts/e2e/checks.sh"
equals() { [ "$1" = "$2" ] || { echo "     ('$1' is not '$2')"; return 1; }; }
holds() { grep -qF -- "$2" "$1" || { echo "     ('$2' not in $1)"; return 1; }; }
empty() { [ ! -s "$1" ] || { echo "     ($1 is not empty)"; return 1; }; }

cd "$work" || exit 1

"$viewer" --help >help.out 2>help.err
check "--help exits with 0" equals "$?" 0
check "--help writes nothing on standard error" empty help.err
for word in --help --version --check --json --render --sheet -o --size --yaw --pitch --background --time --category --cell --columns FOLDER Escape F1 F5 F12 I T M PageDown PageUp "numpad +" R A "Up / Down" "Home / End" slider wheel drag; do
  check "--help lists $word" holds help.out "$word"
done

"$viewer" --version >version.out 2>&1
check "--version exits with 0" equals "$?" 0
version=$(sed -n 's/^project(kvrview VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
check "--version prints the project's version" equals "$(cat version.out)" "kvrview $version"

"$viewer" --bogus >bogus.out 2>bogus.err
check "an unknown option exits with 2" equals "$?" 2
check "it prints the usage on standard error" holds bogus.err "Usage: kvrview"
check "and nothing on standard output" empty bogus.out

"$viewer" "$work/no such folder" >missing.out 2>missing.err
check "a missing folder exits with 2" equals "$?" 2
check "it says so in one line" equals "$(cat missing.err)" "kvrview: no such folder: $work/no such folder"
: >a-file
"$viewer" a-file 2>file.err
check "a file exits with 2" equals "$?" 2
check "it says it is not a folder" equals "$(cat file.err)" "kvrview: not a folder: a-file"
check "no log was written for the mistakes" equals "$(ls "$work" | grep -c KVRerrors)" 0

# A start: the data set in an absolute folder with a space, the viewer started elsewhere.
data="$work/my data set"
mkdir -p "$data" "$work/elsewhere"
perl "$src/tests/scripts/e2e/make_dataset.pl" "$data" || { echo "command line: data set not made" >&2; exit 1; }
cat >"$work/run.sh" <<'RUN'
. "$1/tests/scripts/e2e/viewer_window.sh"
cd "$4" || exit 1
SDL_VIDEODRIVER=x11 "$2" "$3" &
pid=$!
window=$(find_viewer_window "$pid" 100)
if [ -n "$window" ]; then
  xdotool windowfocus "$window" 2>/dev/null || true
  sleep 1
  xdotool keydown Escape
  sleep 0.15
  xdotool keyup Escape
fi
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$pid" 2>/dev/null && kill "$pid"
wait "$pid"
RUN
xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/run.sh" "$src" "$viewer" "$data" "$work/elsewhere"
check "the viewer started on the folder exits with 0" equals "$?" 0
check "the log is written in the data set's folder" equals \
  "$(tail -n 1 "$data/KVRerrors.log" 2>/dev/null | tr -d '\r')" "Closing down"
check "and not in the working directory" equals "$(ls "$work/elsewhere" | wc -l)" 0

# --frames: the viewer itself, timed; its one line of figures on standard output.
SDL_VIDEODRIVER=offscreen "$viewer" --frames 20 --show blockb "$data" >frames.out 2>frames.err
check "--frames exits with 0" equals "$?" 0
check "and prints its figures" grep -qE '^frames 20 median [0-9]+\.[0-9]{2} ms p95 [0-9]+\.[0-9]{2} ms$' frames.out
SDL_VIDEODRIVER=offscreen "$viewer" --frames 20 --show nosuchmodel "$data" >/dev/null 2>frames.err
check "--show of a model not there exits with 1" equals "$?" 1
check "and says so" equals "$(cat frames.err)" "kvrview: no model nosuchmodel in this data set"

if [ "$failures" -ne 0 ]; then
  echo "command line: $failures checks failed" >&2
  exit 1
fi
echo "command line: all checks passed"
