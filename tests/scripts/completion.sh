#!/usr/bin/env bash
# The bash completion (packaging/kvrview.bash) as bash-completion loads it: every option of
# --help, every category of --help after --category, folders for FOLDER, PNG files after -o, the
# models of the data set after --render, nothing after an option that takes a number; and names
# from a stranger's data set ($(...), backticks, quotes, globs, newlines) offered as themselves,
# never run, both by calling the function and by typing TAB into an interactive bash on a terminal.
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

# complete WORD-INDEX WORD...: fills COMPREPLY as bash does for the word at WORD-INDEX of the line
# (counting kvrview as 0).
complete_word() {
  local index=$1
  COMP_WORDS=("${@:2}")
  COMP_CWORD=$index
  COMP_LINE=${COMP_WORDS[*]}
  local before="${COMP_WORDS[*]:0:index+1}"
  COMP_POINT=${#before}
  COMPREPLY=()
  _kvrview kvrview "${COMP_WORDS[index]}" "${COMP_WORDS[index - 1]}"
}

# offers WORD-INDEX WORD... EXPECTED: compares the offers, sorted and joined by '|', with EXPECTED.
offers() {
  complete_word "${@:1:$#-1}"
  local got expected=${*: -1}
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd '|')
  [ "$got" = "$expected" ] || { echo "     (offered '$got', not '$expected')"; return 1; }
}

# exactly WORD-INDEX WORD... -- EXPECTED...: the same, for offers that may hold any byte: the
# offers and the expected names compared one by one, in the shell's own quoting.
exactly() {
  local -a line=()
  while [ "$1" != -- ]; do line+=("$1"); shift; done
  shift
  complete_word "${line[@]}"
  local got wanted
  got=$(for i in "${COMPREPLY[@]}"; do printf '%q\n' "$i"; done | sort | paste -sd ' ')
  wanted=$(for i in "$@"; do printf '%q\n' "$i"; done | sort | paste -sd ' ')
  [ "$got" = "$wanted" ] || { echo "     (offered $got, not $wanted)"; return 1; }
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

# A downloaded data set whose file names are commands: completing must run none of them, and
# offer each name as it is. Folders with such names, too.
odd=('$(touch${IFS}PWNED)' '`touch PWNED`' 'x$(touch${IFS}PWNED)' 'y`touch PWNED`' 'a b' "it's" '"quoted"' '*' '[ab]' $'new\nline' '$HOME')
mkdir -p hostile/duskfen/s
printf 'Structures: duskfen\\s\\\n' >hostile/duskfen/KVRStartUp.gam
mkdir -p odd
for name in "${odd[@]}"; do
  : >"hostile/duskfen/s/$name.pie"
  mkdir -p "odd/$name"
  : >"odd/$name.png"
done
offered=("${odd[@]:0:9}" '$HOME')  # every name but the newline's, which no quoting can be trusted with
nothing_run() {
  local made
  made=$(find "$work" / -maxdepth 1 -name 'PWNED*' 2>/dev/null; find "$work" -name 'PWNED*')
  [ -z "$made" ] || { echo "     (made: $made)"; return 1; }
}
# Model names come back as they are inserted: backslash-quoted, or inside the quote the word
# opened, closed.
quoted=()
for name in "${offered[@]}"; do quoted+=("$(printf '%q' "$name")"); done
check "--render offers every odd model name as itself, quoted, but the newline's" \
  in_folder hostile exactly 2 kvrview --render '' -- "${quoted[@]}"
check "and the folder's" exactly 2 kvrview --render '\$' hostile -- '\$\(touch\$\{IFS\}PWNED\)' '\$HOME'
check "a typed '\$( completes inside the quote" \
  in_folder hostile exactly 2 kvrview --render "'\$(t" -- '$(touch${IFS}PWNED)'"'"
check "  a typed \"\$( too" in_folder hostile exactly 2 kvrview --render '"$(t' -- '\$(touch\${IFS}PWNED)"'
check "  and a backslashed one" in_folder hostile exactly 2 kvrview --render '\$\(t' -- '\$\(touch\$\{IFS\}PWNED\)'
check "a typed * or [ is a letter, not a pattern" \
  in_folder hostile exactly 2 kvrview --render '*' -- '\*'
check "  (the bracket)" in_folder hostile exactly 2 kvrview --render '[' -- '\[ab\]'
check "a name with a quote or a space completes" in_folder hostile exactly 2 kvrview --render "it\\'" -- "it\\'s"
check "  (a space)" in_folder hostile exactly 2 kvrview --render '"a ' -- 'a b"'
check "a FOLDER offers odd folder names as they are" \
  in_folder odd exactly 1 kvrview '' -- "${offered[@]}"
check "-o offers odd .png names as they are" \
  in_folder odd exactly 2 kvrview -o '' -- "${offered[@]}" "${offered[@]/%/.png}"
check "  and a typed * there is a letter too" in_folder odd exactly 2 kvrview -o '*' -- '*' '*.png'
check "no name was run" nothing_run

# The same as a user meets it: TAB typed into an interactive bash on a terminal, which inserts
# the one offer quoted. The line as it then stands is printed in the shell's own quoting.
typed_line() {
  python3 - "$framework" "$src/packaging/kvrview.bash" "$1" "$build/kvrview" <<'PY'
import os, pty, select, sys, time
framework, script, typed, viewer = sys.argv[1:]
pid, fd = pty.fork()
if pid == 0:
    os.environ.update(PS1='$ ', INPUTRC='/dev/null', HOME=os.getcwd())
    os.execvp('bash', ['bash', '--norc', '--noprofile', '-i'])
def drain(seconds):
    out, end = b'', time.time() + seconds
    while time.time() < end:
        r, _, _ = select.select([fd], [], [], 0.1)
        if r:
            try:
                out += os.read(fd, 65536)
            except OSError:
                break
    return out
os.write(fd, f'. {framework}; . {script}; bind "set bell-style none"\n'.encode())
drain(1.5)
# The line as completed, written back by readline's own variable once Enter ends it.
os.write(fd, b'bind -x \'"\\C-x": printf "\\n[%q]\\n" "$READLINE_LINE"\'\n')
drain(0.5)
os.write(fd, typed.encode() + b'\t')
drain(1.0)
os.write(fd, b'\x18')
out = drain(1.0).decode('utf-8', 'replace')
os.write(fd, b'\x15exit\n')
drain(0.5)
line = [l for l in out.split('\n') if l.startswith('[')]
print(line[-1].rstrip('\r')[1:-1] if line else '(nothing)')
PY
}
tab() {
  local got want
  got=$(cd "${3:-hostile}" && typed_line "$1")
  want=$(printf '%q' "$2")
  [ "$got" = "$want" ] || { echo "     (the line became $got, not $want)"; return 1; }
}
if command -v python3 >/dev/null; then
  check "TAB on x inserts x\$(...) quoted" tab 'kvrview --render x' 'kvrview --render x\$\(touch\$\{IFS\}PWNED\) '
  check "  inside an open quote too" tab "kvrview --render '\$(t" "kvrview --render '\$(touch\${IFS}PWNED)' "
  check "TAB on y inserts the backticks quoted" tab 'kvrview --render y' 'kvrview --render y\`touch\ PWNED\` '
  check "TAB on a newline's name inserts nothing" tab 'kvrview --render ne' 'kvrview --render ne'
  check "TAB on a folder quotes it" tab "kvrview 'it" "kvrview 'it'\\''s'/" odd
  check "  and its \$(...)" tab 'kvrview x' 'kvrview x\$\(touch\$\{IFS\}PWNED\)/' odd
  check "still nothing was run" nothing_run
fi

if [ "$failures" -ne 0 ]; then
  echo "completion: $failures checks failed" >&2
  exit 1
fi
echo "completion: all checks passed"
