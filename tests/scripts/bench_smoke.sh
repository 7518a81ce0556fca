#!/usr/bin/env bash
# Keeps the benchmarks building and running: kvrbench on a small generated set (400 models on
# 4 pages instead of 10,000 on 50), only the benchmarks behind the five figures (the frame also
# against its bare floor). Fails unless the closing table gives every figure a value; the values
# themselves are not judged here.
# Usage: bench_smoke.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
build=$(cd "$2" && pwd)
for program in kvrbench make_bench_set; do
  if [[ ! -x $build/$program ]]; then
    echo "bench_smoke: $build/$program is not built" >&2
    exit 1
  fi
done

work=$(mktemp -d /tmp/kvr-bench-smoke-XXXXXX)
trap 'rm -rf "$work"' EXIT
if ! "$build/make_bench_set" "$work/set" 400 4 >"$work/generator.log" 2>&1; then
  cat "$work/generator.log" >&2
  echo "bench_smoke: make_bench_set failed" >&2
  exit 1
fi

KVR_BENCH_SET=$work/set SDL_VIDEODRIVER=offscreen "$build/kvrbench" \
  --benchmark_filter='^BM_(Frame|BareFrame|ClearPresent|LoadToFirstFrame|ReadAndSplit|Beat|ExportAllCommand)/' >"$work/bench.log" 2>&1
rc=$?
status=0
if [[ $rc -ne 0 ]]; then
  echo "bench_smoke: kvrbench exited with $rc" >&2
  status=1
fi
for figure in Frame Load Export Beat Memory; do
  if ! grep -Eq "^$figure +[0-9.]+ (us|ms|s|MB) " "$work/bench.log"; then
    echo "bench_smoke: no value for $figure" >&2
    status=1
  fi
done
# The frame against its bare floor: the floor's set-up must find everything the frame draws.
if ! grep -Eq "^Frame +[0-9.]+ (us|ms|s) +bare SDL2 \+ GL frame +[0-9.]+ (us|ms|s) " "$work/bench.log"; then
  echo "bench_smoke: no value for the frame against its bare floor" >&2
  status=1
fi
if [[ $status -ne 0 ]]; then
  tail -40 "$work/bench.log" >&2
else
  sed -n '/^figure/,$p' "$work/bench.log"
fi
exit $status
