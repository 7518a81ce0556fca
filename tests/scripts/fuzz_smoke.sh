#!/usr/bin/env bash
# Keeps the libFuzzer targets building and running: builds them in build-fuzz (clang with ASan and
# UBSan, only the targets and what they link) when they are missing or out of date, then runs each
# for a few seconds on its seed corpus, keeping what it finds in a scratch folder so the
# repository's corpus is left alone. Any crash, hang or sanitizer report fails the test.
# Usage: fuzz_smoke.sh SOURCE_DIR BUILD_DIR    (FUZZ_SMOKE_SECONDS, default 3 per target)
set -uo pipefail
src=$(cd "$1" && pwd)
seconds=${FUZZ_SMOKE_SECONDS:-3}
build=$src/build-fuzz

for tool in clang clang++ cmake ninja; do
  if ! command -v "$tool" >/dev/null; then
    echo "fuzz_smoke: $tool is missing (scripts/install-deps installs it)" >&2
    exit 1
  fi
done

if [[ ! -f $build/build.ninja ]]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S "$src" -B "$build" --preset fuzz "${launcher[@]}" >/dev/null || exit 1
fi
if ! cmake --build "$build" -j "${FUZZ_SMOKE_JOBS:-2}" --target fuzz_targets >"$build/fuzz-smoke-build.log" 2>&1; then
  tail -30 "$build/fuzz-smoke-build.log" >&2
  echo "fuzz_smoke: the fuzz targets do not build (log: $build/fuzz-smoke-build.log)" >&2
  exit 1
fi

work=$(mktemp -d /tmp/kvr-fuzz-smoke-XXXXXX)
trap 'rm -rf "$work"' EXIT
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$src/tests/asan/lsan.supp:print_suppressions=0}
status=0
for t in $("$src/scripts/fuzz" --list); do
  mkdir -p "$work/$t"
  log=$work/$t.log
  "$build/fuzz/${t}_fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    -artifact_prefix="$work/$t-" -print_final_stats=1 "$work/$t" "$src/fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [[ $rc -ne 0 ]]; then
    grep -m5 -E 'ERROR: |SUMMARY: |runtime error|fuzz target:' "$log" >&2
    tail -40 "$log" >&2
    echo "fuzz_smoke: $t failed (exit $rc)" >&2
    status=1
  else
    echo "fuzz_smoke: $t ran ${runs:-?} inputs in $seconds s"
  fi
done
exit $status
