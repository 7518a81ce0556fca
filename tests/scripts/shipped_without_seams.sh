#!/usr/bin/env bash
# The shipped program and the layer's pkg-config file carry no test seam: the seams live in
# kvrplatform_testing, which only tests, benchmarks and fuzz targets link. (libpng is no sign of
# them: the layer itself saves surfaces as PNG files with it.)
# Usage: shipped_without_seams.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
build=$(cd "$2" && pwd)
status=0
for file in kvrview kvrplatform.pc; do
  if [[ ! -f $build/$file ]]; then
    echo "shipped_without_seams: $build/$file is not built" >&2
    exit 1
  fi
done
seams=$(nm -C "$build/kvrview" | grep -c kvrtest)
if [[ $seams -ne 0 ]]; then
  echo "shipped_without_seams: kvrview holds $seams kvrtest symbols:" >&2
  nm -C "$build/kvrview" | grep kvrtest | head >&2
  status=1
fi
# A program built from the pkg-config file links only what the file names.
if grep -qE 'kvrplatform_testing|gtest|gmock' "$build/kvrplatform.pc"; then
  echo "shipped_without_seams: kvrplatform.pc names a test library:" >&2
  grep -E 'kvrplatform_testing|gtest|gmock' "$build/kvrplatform.pc" >&2
  status=1
fi
exit $status
