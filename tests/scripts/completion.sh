#!/usr/bin/env bash
# The bash completion (packaging/kvrview.bash) as bash-completion loads it: every option of
# --help, every category of --help after --category, folders for FOLDER, PNG files after -o, the
# models of the data set after --render, nothing after an option that takes a number.
# Usage: completion.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
export LC_ALL=C  # the order offers are sorted in
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
framework=/usr/share/bash-completion/bash_completion
[ -f "$framework" ] || { echo "completion: bash-completion is missing (scripts/install-deps)" >&2; exit 1; }

work=$(mktemp -d /tmp/kvr-completion-XXXXXX)
trap 'rm -rf "$work"' EXIT
. "$src/tests/scripts/e2e/checks.sh"
. "$framework"
. "$src/packaging/kvrview.bash"

# offers WORD-INDEX WORD... EXPECTED: completes the word at WORD-INDEX of the line (counting
# kvrview as 0) and compares the offers, sorted and joined by '|', with EXPECTED.
offers() {
  local index=$1 expected=${*: -1}
  COMP_WORDS=("${@:2:$#-2}")
  COMP_CWORD=$index
  COMP_LINE=${COMP_WORDS[*]}
  local before="${COMP_WORDS[*]:0:index+1}"
  COMP_POINT=${#before}
  COMPREPLY=()
  _kvrview kvrview "${COMP_WORDS[index]}" "${COMP_WORDS[index - 1]}"
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd '|')
  [ "$got" = "$expected" ] || { echo "     (offered '$got', not '$expected')"; return 1; }
}

in_folder() { (cd "$1" && shift && "$@"); }

help=$("$build/kvrview" --help)
options=$(sed -nE 's/^  (-[-a-z]+).*/\1/p' <<<"$help" | sort | paste -sd '|')
categories=$(tr '\n' ' ' <<<"$help" | sed -E 's/.*only this category \(([^)]*)\).*/\1/; s/[, ]+/\n/g' |
  grep . | sort | paste -sd '|')

check "complete -p names the function" grep -q '_kvrview kvrview$' <(complete -p kvrview)
check "a dash offers every option --help lists" offers 1 kvrview - "$options"
check "--category offers the categories --help lists" offers 3 kvrview --sheet --category '' "$categories"
check "and completes a start" offers 2 kvrview --category st structures

cd "$work" || exit 1
mkdir -p "my data/duskfen/bodies" "my data/duskfen/structs" pictures
: >"my data/duskfen/KVRStartUp.gam"
: >"my data/duskfen/bodies/bug.pie"
: >"my data/duskfen/structs/Tower.PIE"
: >"my data/duskfen/structs/Structures.gam"
: >shot.png
: >notes.txt
check "a FOLDER offers folders only" offers 1 kvrview '' "my data|pictures"
check "-o offers PNG files and folders" offers 2 kvrview -o '' "my data|pictures|shot.png"
check "--render offers the models of the folder named later on the line" \
  offers 2 kvrview --render T -o x.png '"my data"' "Tower"
check "or of the current folder" in_folder "my data" offers 2 kvrview --render '' "Tower|bug"
check "and nothing in a folder without a start-up manifest" offers 2 kvrview --render '' ""
check "a number is not completed" offers 2 kvrview --size '' ""

if [ "$failures" -ne 0 ]; then
  echo "completion: $failures checks failed" >&2
  exit 1
fi
echo "completion: all checks passed"
