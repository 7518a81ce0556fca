#!/usr/bin/env bash
# The browser build end to end: serves build-web/ on 127.0.0.1, opens it in headless Chromium
# with playwright-core (tests/web/browser_test.mjs) and checks the sample's start screen, the
# panels, a slider, folders the page refuses, and a data set opened through the folder picker. Usage:
# browser_page.sh SOURCE_DIR BUILD_DIR. Skipped (77) when the browser build or its tools are not
# there: `scripts/install-deps --web && make web` brings them.
set -uo pipefail

src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
web=$src/build-web
shots=$build/test-output/browser_page

if [ ! -f "$web/kvrview.wasm" ] || [ ! -f "$web/tests/kvr_gdi_cells.wasm" ] || [ ! -d "$src/tests/web/node_modules/playwright-core" ] ||
   ! command -v node >/dev/null || [ ! -x /usr/bin/chromium ] || [ ! -x /usr/bin/convert ]; then
  echo "browser_page: skipped (needs make web, the npm packages of tests/web, chromium and imagemagick)"
  exit 77
fi

data=$(mktemp -d /tmp/kvr-browser-XXXXXX)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$data"
}
trap cleanup EXIT
rm -rf "$shots"
mkdir -p "$shots"

# The data set the page opens: the native end-to-end one, with its structures folder spelt in
# capitals on disk while the manifest names it in lower case and with backslashes.
perl "$src/tests/scripts/e2e/make_dataset.pl" "$data/e2eset" || { echo "browser_page: data set not made" >&2; exit 1; }
mv "$data/e2eset/duskfen/structures" "$data/e2eset/duskfen/STRUCTURES"

# Folders the page must refuse: one file over the count, a file over the bytes (sparse: nothing
# is written), and a folder that is no data set.
mkdir -p "$data/refused/too-many/duskfen" "$data/refused/too-large/duskfen" "$data/refused/no-data-set/models"
: >"$data/refused/too-many/duskfen/KVRStartUp.gam"
(cd "$data/refused/too-many" && seq 20000 | sed 's/$/.pie/' | xargs touch)
: >"$data/refused/too-large/duskfen/KVRStartUp.gam"
truncate -s 513M "$data/refused/too-large/big.dds"
cp "$data/e2eset/duskfen/STRUCTURES/"*.pie "$data/refused/no-data-set/models/"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$web" >"$shots/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
  sleep 0.1
done

# GDI's cells on FreeType, for the page's to be compared with.
"$build/tests/kvr_gdi_cells" >"$shots/gdi_cells_native.txt" || { echo "browser_page: kvr_gdi_cells failed" >&2; exit 1; }

cd "$src/tests/web" && timeout 300 node browser_test.mjs "http://127.0.0.1:$port/" "$data/e2eset" "$shots" \
  "$shots/gdi_cells_native.txt" "$data/refused"
status=$?
[ "$status" -eq 0 ] && echo "browser_page: all checks passed; screenshots in $shots" ||
  echo "browser_page: checks failed ($status); screenshots in $shots" >&2
exit "$status"
