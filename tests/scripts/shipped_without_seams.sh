#!/usr/bin/env bash
# The shipped program and the layer's pkg-config file carry no test seam and no libpng: those
# live in kvrplatform_testing, which only tests, benchmarks and fuzz targets link.
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
# Only what kvrview itself needs: ldd also lists the libpng that Debian's FreeType loads.
if readelf -d "$build/kvrview" | grep NEEDED | grep -q png; then
  echo "shipped_without_seams: kvrview links libpng" >&2
  status=1
fi
if grep -qi png "$build/kvrplatform.pc"; then
  echo "shipped_without_seams: kvrplatform.pc names png" >&2
  status=1
fi
exit $status
