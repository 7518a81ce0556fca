#!/usr/bin/env bash
# What kvrview writes and prints, against names meant to mislead it: -o and the folder argument
# used exactly as typed (no other letter case, no '\' read as a separator, no climbing), and
# names holding terminal controls (C1 ones too) escaped in --check's text and on standard error,
# while --json keeps UTF-8 names as they are and stays valid.
# Usage: hostile_outputs.sh SOURCE_DIR BUILD_DIR
set -uo pipefail

src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
viewer=$build/kvrview
[ -x "$viewer" ] || { echo "hostile outputs: no viewer at $viewer" >&2; exit 1; }

work=$(mktemp -d /tmp/kvr-outputs-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

. "$src/tests/scripts/e2e/checks.sh"
lacks() { ! grep -qF -- "$2" "$1" || { echo "     ('$2' is in $1)"; return 1; }; }
is_png() { [ "$(head -c 8 "$1" 2>/dev/null | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
  { echo "     ($1 is no PNG)"; return 1; }; }
kvr() { env -u DISPLAY -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY "$src/tests/asan/run_sanitized" "$viewer" "$@"; }

# -o names the file the user typed, not one that differs from it in letter case.
echo x >Thesis.PNG
kvr --render windmill -o thesis.png "$src/sample" 2>render.err
check "-o thesis.png is written" is_png thesis.png
check "and Thesis.PNG beside it is left as it was" equals "$(cat Thesis.PNG)" x

# From a working folder named a\b (with a/b beside it), -o out.png lands in a\b.
mkdir -p 'bs/a\b' bs/a/b
(cd 'bs/a\b' && kvr --render windmill -o out.png "$src/sample" 2>/dev/null)
check "-o out.png from a folder named a\\b lands there" is_png 'bs/a\b/out.png'
check "and not in a/b" absent bs/a/b/out.png
(cd 'bs/a\b' && kvr --render windmill -o 'c\d.png' "$src/sample" 2>/dev/null)
check "a '\\' in -o is a letter of its name" is_png 'bs/a\b/c\d.png'

# A folder argument evil\..\.. (with evil/ beside it and a data set one level up) does not climb.
mkdir -p up/duskfen up/there/evil
printf 'Structures: duskfen\\\n' >up/duskfen/KVRStartUp.gam
code=$(cd up/there && kvr --check 'evil\..\..' >climb.out 2>climb.err; echo $?)
check "a folder argument evil\\..\\.. does not climb (exit 2)" equals "$code" 2
check "  and says there is no such folder" holds up/there/climb.err 'kvrview: no such folder: evil\..\..'
mkdir -p 'up/there/evil\..\..'/duskfen
printf 'Structures: duskfen\\s\\\n' >'up/there/evil\..\..'/duskfen/KVRStartUp.gam
(cd up/there && kvr --check 'evil\..\..' >literal.out 2>&1)
check "a folder of that very name is the one checked" holds up/there/literal.out 'duskfen\s\Structures.gam'

# Names with terminal controls: U+009B (CSI) and U+0085 in UTF-8, a lone 0x9B byte, ESC; and
# letters in UTF-8 and in Latin-1.
mkdir -p names/duskfen/s
printf 'Structures: duskfen\\s\\\n' >names/duskfen/KVRStartUp.gam
printf 'csi\xc2\x9b2J\nnel\xc2\x85x\nlone\x9bx\nesc\x1b[31m\ncaf\xc3\xa9\nlatin\xe9\n' >names/duskfen/s/Structures.gam
kvr --check names >check.out 2>check.err
check "--check's text escapes a C1 CSI byte by byte" holds check.out 'csi\xC2\x9B2J.pie'
check "  a C1 next line" holds check.out 'nel\xC2\x85x.pie'
check "  a lone 0x9B byte" holds check.out 'lone\x9Bx.pie'
check "  and ESC" holds check.out 'esc\x1B[31m.pie'
check "  and keeps UTF-8 letters" holds check.out "$(printf 'caf\xc3\xa9.pie')"
check "no C1 control reaches the terminal" lacks check.out "$(printf '\xc2\x9b')"
kvr --check --json names >check.json 2>/dev/null
check "--json is valid JSON in valid UTF-8" python3 -c 'import json, sys; json.loads(open(sys.argv[1], "rb").read().decode("utf-8"))' check.json
check "  keeps a UTF-8 name as it is" holds check.json "$(printf 'caf\xc3\xa9.pie')"
check "  writes a C1 control as \\u009b" holds check.json 'csi\u009b2J.pie'
check "  and a byte outside UTF-8 as the character of its number" holds check.json 'latin\u00e9.pie'
kvr --render "$(printf 'x\xc2\x9by')" -o never.png names 2>render.err
check "standard error escapes a C1 control too" holds render.err 'kvrview: no model x\xC2\x9By in this data set'
"$viewer" "$(printf 'no\xc2\x9bsuch')" 2>folder.err
check "  in a folder's name as well" holds folder.err 'kvrview: no such folder: no\xC2\x9Bsuch'

if [ "$failures" -ne 0 ]; then
  echo "hostile outputs: $failures checks failed" >&2
  exit 1
fi
echo "hostile outputs: all checks passed"
