#!/usr/bin/env bash
# The man page help2man made from the built viewer: every usage line of --help is a line of the
# synopsis, every option and every key or mouse action is a tagged paragraph of its own, the
# sections from packaging/kvrview.h2m are there, and groff reads it without a warning.
# Usage: man_page.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
page=$build/kvrview.1

command -v groff >/dev/null || { echo "man page: groff is missing (scripts/install-deps)" >&2; exit 1; }
[ -f "$page" ] || { echo "man page: no $page (is help2man installed? scripts/install-deps)" >&2; exit 1; }
. "$src/tests/scripts/e2e/checks.sh"
equals() { [ "$1" = "$2" ] || { echo "     ('$1' is not '$2')"; return 1; }; }
tagged() { grep -qxF -- "$1" <<<"$tags" || { echo "     ('$1' is no paragraph's tag)"; return 1; }; }

help=$("$build/kvrview" --help)
# The page's tags (the line after each .TP) and synopsis lines, with roff's escapes taken out.
plain=$(sed -e 's/\\f[BIRP]//g' -e 's/\\[-e]/-/g' -e 's/\\[,/&]//g' "$page")
tags=$(awk 'tp {print; tp = 0} /^\.TP/ {tp = 1}' <<<"$plain")

check "the synopsis has a line for each usage line" equals \
  "$(grep -c '^\.B kvrview$' <<<"$plain")" "$(grep -cE '^(Usage:| +or:) +kvrview ' <<<"$help")"
# An option line: two spaces, the option and its argument, two spaces or more, its text.
while IFS= read -r option; do
  check "the option $option has a paragraph" tagged "$option"
done < <(sed -nE 's/^  (-[^ ]+( [A-Z][^ ]*)?)( {2,}.*)?$/\1/p' <<<"$help")
while IFS= read -r input; do
  check "the input '$input' has a paragraph" tagged "$input"
done < <(sed -n '/^Keys and mouse:/,$p' <<<"$help" | sed -nE 's/^  ([^ ](.*[^ ])?) {2,}.*$/\1/p')
for section in NAME SYNOPSIS DESCRIPTION OPTIONS '"EXIT STATUS"' FILES EXAMPLES; do
  check "the page has the section $section" grep -qx ".SH $section" "$page"
done
check "groff reads it without a warning" equals "$(groff -man -Tutf8 -ww -z "$page" 2>&1)" ""

if [ "$failures" -ne 0 ]; then
  echo "man page: $failures checks failed" >&2
  exit 1
fi
echo "man page: all checks passed"
