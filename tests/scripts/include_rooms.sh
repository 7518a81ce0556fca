#!/usr/bin/env bash
# The program's includes point one way down its rooms, with no cycle: scripts/check-includes on
# the tree passes, and on small trees made to break the rule it fails and prints the chain.
# Usage: include_rooms.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src=$1
check=$src/scripts/check-includes
failures=0
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

python3 "$check" "$src" || fail "the program's own tree"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"/{app,base,data,exchange,model,overlay}

# A data source reaching up into app/.
printf '#include "app/camera.h"\n' >"$work/data/loader.cpp"
printf '#pragma once\n' >"$work/app/camera.h"
out=$(python3 "$check" "$work") && fail "an upward include passed"
grep -q 'upward include: data/loader -> app/camera' <<<"$out" || fail "the upward include was not named: $out"
rm "$work/data/loader.cpp"

# The exchange room sits above data/: data reaching into it goes up.
printf '#include "exchange/gltf_export.h"\n' >"$work/data/loader.cpp"
printf '#pragma once\n' >"$work/exchange/gltf_export.h"
out=$(python3 "$check" "$work") && fail "data/ including exchange/ passed"
grep -q 'upward include: data/loader -> exchange/gltf_export' <<<"$out" || fail "data -> exchange not named: $out"
rm "$work/data/loader.cpp"

# Two model units that need each other through a third.
printf '#include "model/b.h"\n' >"$work/model/a.cpp"
printf '#include "model/c.h"\n' >"$work/model/b.h"
printf '#include "model/a.h"\n' >"$work/model/c.h"
printf '#pragma once\n' >"$work/model/a.h"
out=$(python3 "$check" "$work") && fail "a cycle passed"
grep -q 'include cycle: model/a -> model/b -> model/c -> model/a' <<<"$out" || fail "the cycle was not printed: $out"

[ $failures -eq 0 ] && echo "include_rooms: the tree is clean and both broken trees were caught"
exit $((failures > 0))
