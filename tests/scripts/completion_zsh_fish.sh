#!/usr/bin/env bash
# The zsh and fish completions (packaging/kvrview.zsh, packaging/kvrview.fish): every option of
# --help, the categories, nothing after an option that takes a number, and the models of the data
# set named on the line offered as the names they are, with spaces, quotes, $, backticks and glob
# characters, and nothing in them ever run. fish is asked with `complete -C`; zsh's completion
# function runs with compadd and _files standing in, printing what they are handed.
# Usage: completion_zsh_fish.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
export LC_ALL=C
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
for tool in zsh fish; do
  command -v "$tool" >/dev/null || { echo "completion: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/kvr-completion-XXXXXX)
trap 'rm -rf "$work"' EXIT
. "$src/tests/scripts/e2e/checks.sh"
equals() { [ "$1" = "$2" ] || { echo "     (offered '$1', not '$2')"; return 1; }; }

help=$("$build/kvrview" --help)
options=$(sed -nE 's/^  (-[-a-z]+).*/\1/p' <<<"$help" | sort | paste -sd '|')

cd "$work" || exit 1
mkdir -p "my data/duskfen/bodies" "my data/duskfen/structs" pictures
: >"my data/duskfen/KVRStartUp.gam"
: >"my data/duskfen/bodies/bug.pie"
: >"my data/duskfen/structs/Tower.PIE"
# Names that a careless completion would run or expand.
: >'my data/duskfen/structs/$(touch RAN).pie'
: >'my data/duskfen/structs/`touch RAN`.pie'
: >"my data/duskfen/structs/it's \"*\" [a].pie"
: >"my data/duskfen/structs/"$'two\nlines.pie'
models='$(touch RAN)|Tower|`touch RAN`|bug|it'"'"'s "*" [a]'

# fish: LINE completed at its end; the offers' names sorted and joined by '|'.
fish_offers() {
  fish --no-config -c 'source $argv[1]; cd $argv[2]; complete -C $argv[3]' "$src/packaging/kvrview.fish" "$2" "$1" |
    cut -f1 | sort | paste -sd '|'
}
check "fish: a dash offers every option --help lists" equals "$(fish_offers 'kvrview -' .)" "$options"
check "fish: --category st offers structures" equals "$(fish_offers 'kvrview --category st' .)" structures
check "fish: --size offers nothing" equals "$(fish_offers 'kvrview --size ' .)" ""
check "fish: --render offers the models of the folder on the line, as they are" \
  equals "$(fish_offers "kvrview 'my data' --render " .)" "$models"
check "fish: --turntable those of the current folder" equals "$(fish_offers 'kvrview --turntable ' 'my data')" "$models"
check "fish: and only those that begin with what was typed" \
  equals "$(fish_offers "kvrview 'my data' --show 'it'" .)" "it's \"*\" [a]"
check "fish: nothing in a folder without a start-up manifest" equals "$(fish_offers 'kvrview --render ' pictures)" ""
check "fish: a FOLDER offers folders" equals "$(fish_offers 'kvrview ' .)" "my data/|pictures/"

# zsh: in folder DIR, the words of the line, the one at INDEX (from 1, kvrview; 0 for the last) completed; what compadd is handed, each name with a
# newline in it shown as \n, sorted and joined by '|'.
zsh_offers() {
  zsh -f -c '
    compadd() { if [[ $1 == -a ]]; then print -rl -- "${(@V)${(@P)2}}"; else shift; print -rl -- "${(@V)@}"; fi }
    _files() { print -r -- "files $*"; }
    words=(kvrview); CURRENT=1; source "$1" >/dev/null; shift
    cd "$1"; CURRENT=$2; shift 2
    words=("$@"); ((CURRENT)) || CURRENT=$#words; PREFIX=${words[CURRENT]}
    _kvrview' _ "$src/packaging/kvrview.zsh" "$@" | sort | paste -sd '|'
}
check "zsh: a dash offers every option --help lists" equals "$(zsh_offers . 0 kvrview -)" "$options"
check "zsh: --category offers the categories" \
  equals "$(zsh_offers . 0 kvrview --category '')" "bodies|effects|features|miscellaneous|propulsions|research|structures|weapons"
check "zsh: --seconds offers nothing" equals "$(zsh_offers . 0 kvrview --seconds '')" ""
check "zsh: --render offers the models of the folder on the line, as they are" \
  equals "$(zsh_offers . 0 kvrview "my\\ data" --render '')" "$models|two\\nlines"
check "zsh: the folder may come after, in quotes" \
  equals "$(zsh_offers . 3 kvrview --turntable '' -o t.gif "'my data'")" "$models|two\\nlines"
check "zsh: --show those of the current folder" equals "$(zsh_offers 'my data' 0 kvrview --show '')" "$models|two\\nlines"
check "zsh: nothing in a folder without a start-up manifest" equals "$(zsh_offers pictures 0 kvrview --render '')" ""
check "zsh: -o offers the files the commands write" equals "$(zsh_offers . 0 kvrview -o '')" "files -g *.(#i)(png|gif|webp|glb|gltf|pie)(-.)"

check "no name was ever run" test ! -e RAN -a ! -e "my data/RAN" -a ! -e pictures/RAN

if [ "$failures" -ne 0 ]; then
  echo "completion_zsh_fish: $failures checks failed" >&2
  exit 1
fi
echo "completion_zsh_fish: all checks passed"
