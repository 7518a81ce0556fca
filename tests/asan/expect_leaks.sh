#!/usr/bin/env bash
# The leak suppressions hide what the graphics stack loses by itself and nothing of ours:
# - a program that leaks a vertex buffer through the layer with a device open fails, and the
#   report names the layer's CreateVertexBuffer;
# - a stand-in driver (leakprobe_dri.so) that loses memory from its own constructor leaks for
#   real without the suppressions and is hidden with them.
# Usage: expect_leaks.sh SOURCE_DIR BUILD_DIR (a sanitizer build)
set -uo pipefail
src=$1
build=$2
run=$src/tests/asan/run_sanitized
supp=$src/tests/asan/lsan.supp
work=$(mktemp -d /tmp/kvr-leaks-XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0
check() {
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failed=1; fi
}
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$supp:print_suppressions=0

SDL_VIDEODRIVER=offscreen "$run" "$build/tests/leak_through_the_layer" >"$work/layer.out" 2>&1
code=$?
check "a leak through the layer fails the program (exit $code)" [ "$code" -ne 0 ]
check "LeakSanitizer reports it" grep -q 'LeakSanitizer: detected memory leaks' "$work/layer.out"
check "the report names the layer's CreateVertexBuffer" grep -q 'CreateVertexBuffer' "$work/layer.out"

cc -shared -fPIC -O1 -o "$work/leakprobe_dri.so" "$src/tests/asan/leakprobe_dri.c" || exit 1
LSAN_OPTIONS=print_suppressions=0 LD_PRELOAD="$work/leakprobe_dri.so" \
  "$run" "$build/kvrview" --version >"$work/bare.out" 2>&1
check "the stand-in driver really leaks when nothing is suppressed" \
  grep -q 'Direct leak of 128 byte' "$work/bare.out"
LD_PRELOAD="$work/leakprobe_dri.so" "$run" "$build/kvrview" --version >"$work/supp.out" 2>&1
code=$?
check "its leak is suppressed by module (exit $code)" [ "$code" -eq 0 ]
check "and not reported" bash -c "! grep -q LeakSanitizer '$work/supp.out'"
[ "$failed" -eq 0 ] || { echo "--- layer run"; cat "$work/layer.out"; echo "--- driver run"; cat "$work/supp.out"; }
exit "$failed"
