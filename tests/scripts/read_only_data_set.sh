#!/usr/bin/env bash
# End to end, a data set the viewer may not write, under a virtual X server: a copy of the sample
# that an unprivileged user (nobody) cannot write, viewed by that user, and one owned by another
# user, viewed by root, who could write it but must not. Each time the log goes to the user's state
# folder (kvrview/<the folder's name>/KVRerrors.log) with its usual lines, F12's picture to the
# user's pictures folder, both are said on standard error and on screen, and the data set's folder
# is byte for byte what it was.
# Usage: read_only_data_set.sh SOURCE_DIR BUILD_DIR
# The screenshots stay in BUILD_DIR/test-output/read_only_data_set for a person to look at.
set -uo pipefail

src=$1
build=$(cd "$2" && pwd)
viewer=$build/kvrview
shots=$build/test-output/read_only_data_set

for tool in xvfb-run xdotool setpriv od awk sha256sum /usr/bin/import /usr/bin/convert; do
  command -v "$tool" >/dev/null || { echo "read_only_data_set: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done
[ -x "$viewer" ] || { echo "read_only_data_set: no viewer at $viewer" >&2; exit 1; }
# As root, the unprivileged user is nobody; as anyone else, that user itself, on a copy whose write
# permissions are taken away (root's second case is then skipped).
if [ "$(id -u)" -eq 0 ]; then
  user=nobody
else
  user=$(id -un)
fi

work=$(mktemp -d /tmp/kvr-read-only-XXXXXX)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
rm -rf "$shots"
mkdir -p "$shots"
. "$src/tests/scripts/e2e/checks.sh"
equals() { [ "$1" = "$2" ] || { echo "     ('$1' is not '$2')"; return 1; }; }
holds() { grep -qP -- "$2" <<<"$1" || { echo "     (no '$2' in: $(head -c 300 <<<"$1"))"; return 1; }; }
atleast() { [ "$1" -ge "$2" ] || { echo "     ($1 < $2)"; return 1; }; }
yellow() {
  /usr/bin/convert "$1" -crop 620x60+400+60 +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk '$1 > 180 && $2 > 180 && $3 < 80 { n++ } END { print n + 0 }'
}
# Every name, mode, size and time under the folder, and the hash of every file's bytes.
state_of() { (cd "$1" && find . -printf '%p %M %s %T@\n' | sort && find . -type f -exec sha256sum {} + | sort); }

# run USER HOME DATA NAME [ENV...]: the viewer as USER (with its HOME) on DATA, its screenshots,
# standard error and exit code in $shots/NAME.
run() {
  local user=$1 home=$2 data=$3 name=$4
  shift 4
  mkdir -p "$shots/$name"
  chown "$user" "$shots/$name"
  # A clean environment, but for the sanitizers' settings of a sanitized build (their suppressions).
  local keep=()
  for name_ in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
    [ -n "${!name_:-}" ] && keep+=("$name_=${!name_}")
  done
  as "$user" env -i PATH="$PATH" HOME="$home" "${keep[@]}" "$@" \
    xvfb-run -a -s '-screen 0 1024x768x24' bash "$src/tests/scripts/e2e/drive_read_only.sh" "$viewer" "$data" "$shots/$name"
}

# as USER COMMAND...: the command run as USER (as it is when that is who runs this).
as() {
  local user=$1
  shift
  if [ "$(id -un)" = "$user" ]; then
    "$@"
  else
    setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups "$@"
  fi
}

# check_run NAME DATA LOG PICTURES: what a run left behind.
check_run() {
  local name=$1 data=$2 log=$3 pictures=$4 out=$shots/$1
  check "$name: the viewer ran and quit cleanly" equals "$(cat "$out/exit_code" 2>/dev/null)" 0
  check "$name: the log is in the state folder" test -f "$log"
  cp "$log" "$out/" 2>/dev/null
  check "$name: starting with its usual line" equals "$(head -n 1 "$log" 2>/dev/null)" "KVRerrors.log started "
  check "$name: telling the picture saved" holds "$(cat "$log" 2>/dev/null)" '^Saved kvrview-0001\.png$'
  check "$name: and ending with its usual line" equals "$(tail -n 1 "$log" 2>/dev/null)" "Closing down"
  check "$name: F12's picture is in the pictures folder" test -s "$pictures/kvrview-0001.png"
  check "$name: standard error says where the log is, once" \
    equals "$(grep -c "cannot be written: the log is $log\$" "$out/stderr")" 1
  check "$name: and where the pictures go, once" equals "$(grep -c "F12 saves its pictures in $pictures\$" "$out/stderr")" 1
  check "$name: the screen says so at start" atleast "$(yellow "$out/start.png")" 150
  check "$name: and not ten seconds later" equals "$(yellow "$out/later.png")" 0
  check "$name: the data set's folder is byte for byte as it was" equals "$(state_of "$data" | sha256sum)" \
    "$(sha256sum <"$work/$name.before")"
}

# 1. An unprivileged user on a copy it cannot write (root's, mode 755, or its own without write
#    permission): the log in the default state folder, the pictures in the folder user-dirs.dirs
#    names.
data="$work/data/Sample Copy"
mkdir -p "$work/data"
cp -a "$src/sample" "$data"
if [ "$user" = nobody ]; then chmod -R a+rX,go-w "$data"; else chmod -R a-w "$data"; fi
home=$work/user-home
mkdir -p "$home/.config"
# shellcheck disable=SC2016  # $HOME is user-dirs.dirs's, not the shell's
echo 'XDG_PICTURES_DIR="$HOME/Bilder"' >"$home/.config/user-dirs.dirs"
chown -R "$user" "$home"
as "$user" touch "$data/probe" "$data/duskfen/probe" 2>/dev/null
check "the copy is really unwritable for $user" test ! -e "$data/probe" -a ! -e "$data/duskfen/probe"
state_of "$data" >"$work/unwritable.before"
run "$user" "$home" "$data" unwritable
check_run unwritable "$data" "$home/.local/state/kvrview/Sample Copy/KVRerrors.log" "$home/Bilder"

# 2. root on nobody's copy, which root could write: the log in $XDG_STATE_HOME, the pictures in
#    the home folder (no user-dirs.dirs).
if [ "$user" != nobody ]; then
  echo "skip root on another user's copy: this runs as $user"
else
  data=$work/nobodys/sample
  mkdir -p "$work/nobodys"
  cp -a "$src/sample" "$data"
  chown -R nobody "$data"
  home=$work/root-home
  mkdir -p "$home"
  state_of "$data" >"$work/others.before"
  run root "$home" "$data" others XDG_STATE_HOME="$work/root-state"
  check_run others "$data" "$work/root-state/kvrview/sample/KVRerrors.log" "$home"
fi

if [ "$failures" -ne 0 ]; then
  echo "read_only_data_set: $failures checks failed" >&2
  exit 1
fi
echo "read_only_data_set: all checks passed"
