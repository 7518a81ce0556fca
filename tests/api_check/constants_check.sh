#!/usr/bin/env bash
# Every constant that the layer's public headers define, as a macro or an enumerator, must have
# the value that mingw-w64's Windows headers give it, and every record and enumeration type the
# size and alignment. The values are printed by a program built against the layer's headers, then
# asserted in a file compiled against mingw-w64's.
# Usage: constants_check.sh INCLUDE_DIR
set -euo pipefail
inc=$(cd "$1" && pwd)
mingw=x86_64-w64-mingw32-g++-posix
if ! command -v "$mingw" >/dev/null; then
  echo "constants_check: $mingw is missing (scripts/install-deps installs it)" >&2
  exit 1
fi

# Not numbers (keywords, pointers: the system's icon and cursor names are resource numbers cast to
# pointers), or names our headers keep that mingw-w64 leaves out.
not_compared='^(CONST|REFIID|REFGUID|interface|NULL|INVALID_HANDLE_VALUE|D3DVBF_FORCE_DWORD|IDI_[A-Z]+|IDC_[A-Z]+)$'

headers=$(ls "$inc"/*.h)
# shellcheck disable=SC2086
names=$( {
  grep -hoE '^#define[[:space:]]+[A-Z_][A-Za-z0-9_]*[[:space:]]+[^[:space:]]' $headers | awk '{print $2}'
  grep -hoE '\b[A-Z][A-Z0-9_]+[[:space:]]*=[[:space:]]*[^=]' $headers | sed -E 's/[[:space:]]*=.*//'
} | grep -vE "$not_compared" | sort -u)
# A name defined as another name is a number only when that other name is one (WS_TILED is
# WS_OVERLAPPED); the generic-text names (CreateWindow for CreateWindowA or CreateWindowW,
# _tcslen for strlen) stand for functions and function-like macros, whose types api_check.cpp checks.
# shellcheck disable=SC2086
aliases=$(grep -hE '^#define[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]*$' $headers |
  awk '{print $2, $3}' | sort -u)
not_numbers=$(echo "$aliases" | while read -r name target; do
  [[ -n $name ]] && ! grep -qxF "$target" <<< "$names" && echo "$name"
done | sort -u)
names=$(comm -23 <(echo "$names") <(echo "$not_numbers"))
# shellcheck disable=SC2086
# Records that hold WCHARs (32 bits here, 16 on Windows) differ in size by design.
types=$(grep -hoE '\}[[:space:]]*[A-Z_][A-Z0-9_]*[,;]' $headers | sed -E 's/[};,[:space:]]//g' | grep -vxE 'D3DXFONT_DESCW' |
  sort -u)
count=$(echo "$names" | wc -l)
if [[ $count -lt 100 ]]; then
  echo "constants_check: found only $count names under $inc" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
  echo '#include <windows.h>'
  echo '#include <mmsystem.h>'
  echo '#include <d3d9.h>'
  echo '#include <d3dx9.h>'
  echo '#include <tchar.h>'
  echo '#include <strsafe.h>'
  echo '#include <shlobj.h>'
  echo '#include <stdio.h>'
  echo 'int main() {'
  for n in $names; do
    echo "  printf(\"static_assert((long long)($n) == %lldLL, \\\"$n\\\");\\n\", (long long)($n));"
  done
  for t in $types; do
    echo "  printf(\"static_assert(sizeof($t) == %zu && alignof($t) == %zu, \\\"$t\\\");\\n\", sizeof($t), alignof($t));"
  done
  echo '  return 0;'
  echo '}'
} > "$work/print_values.cpp"
c++ -std=c++17 -I"$inc" -o "$work/print_values" "$work/print_values.cpp"
{
  echo '#include <windows.h>'
  echo '#include <mmsystem.h>'
  echo '#include <d3d9.h>'
  echo '#include <d3dx9.h>'
  echo '#include <tchar.h>'
  echo '#include <strsafe.h>'
  echo '#include <shlobj.h>'
  "$work/print_values"
} > "$work/compare.cpp"
if ! "$mingw" -std=c++17 -fsyntax-only "$work/compare.cpp" 2> "$work/errors.txt"; then
  grep -E "error" "$work/errors.txt" | sed -E 's/^[^:]*:[0-9]+:[0-9]+: //' | head -40 >&2
  echo "constants_check: the constants or sizes above differ from the Windows SDK's (or it lacks them)" >&2
  exit 1
fi
echo "constants_check: $count constants and $(echo "$types" | wc -l) type sizes agree with mingw-w64's Windows headers"
