#!/usr/bin/env bash
# The small Direct3D 9 programs of tests/clients, each one file written for Windows, built against
# the layer as a user would (the compiler and pkg-config alone), run headless, and their frames
# compared pixel by pixel with the frames Wine draws from the same source built with mingw-w64:
# at least 99 % of the client area's pixels within 8 of Wine's in every channel.
#
# The Wine frames are committed in tests/clients/reference, so no Wine is needed. Where Wine,
# mingw-w64 and xvfb-run are installed, each program is also built for Windows and run under Wine
# here, and the native frame compared with that fresh frame too (KVR_SKIP_WINE=1 leaves this out;
# KVR_WRITE_REFERENCES=1 writes the fresh frames over the committed ones).
#
# A program that writes a list of cells beside its frame (fixed_function_table: one cell per case of
# the fixed-function pipeline's maths) is also compared cell by cell, and each cell that differs is
# named.
#
# Also checked: with no display, a program's MessageBox goes to standard error at once instead of
# waiting, and the SDK's capitalised header names and strsafe.h compile.
# Usage: sdk_clients.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
clients=$src/tests/clients
compare=$clients/compare_frames.py
compare_cells=$clients/compare_cells.py

if [[ ! -f "$build/kvrplatform.pc" || ! -f "$build/libkvrplatform.a" || ! -f "$build/libkvrplatform_main.a" ]]; then
  echo "sdk_clients: $build holds no built kvrplatform (build the kvrplatform targets first)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "sdk_clients: FAIL: $*" >&2
  failures=$((failures + 1))
}

# The moment each program's clock is fixed at: a turn that shows the scene well.
moment() {
  case $1 in
    turning_triangle) echo 1150 ;;
    lit_cylinder | textured_cylinder | teapot_and_mesh | multitexture) echo 1300 ;;
    font_and_sprite) echo 700 ;;
    *) echo 0 ;;
  esac
}

# shellcheck disable=SC2046  # the flags are meant to split into words
flags=$(PKG_CONFIG_PATH="$build" pkg-config --cflags --libs kvrplatform)
cp "$clients"/*.bmp "$clients"/*.x "$work/"

programs=()
for source in "$clients"/*.cpp; do programs+=("$(basename "$source" .cpp)"); done

# ---- The layer's build of each program ------------------------------------------------------
for name in "${programs[@]}"; do
  # shellcheck disable=SC2086
  if ! c++ -Wall -o "$work/$name" "$clients/$name.cpp" $flags 2> "$work/$name.build.txt"; then
    cat "$work/$name.build.txt" >&2
    fail "$name does not build against kvrplatform.pc"
    continue
  fi
  status=0
  (cd "$work" && SDL_VIDEODRIVER=offscreen TUTORIAL_TIME_MS=$(moment "$name") TUTORIAL_FRAME_FILE="$name.png" \
    timeout 60 "./$name") || status=$?
  if [[ $status -ne 0 || ! -f "$work/$name.png" ]]; then
    fail "$name exited with $status without a frame"
    continue
  fi
  if result=$("$compare" "$work/$name.png" "$clients/reference/$name.png"); then
    echo "sdk_clients: $name against the committed Wine frame: $result"
  else
    fail "$name against the committed Wine frame: $result"
  fi
  if [[ -f "$work/$name.png.cells" ]]; then
    if result=$("$compare_cells" "$work/$name.png" "$clients/reference/$name.png" "$work/$name.png.cells"); then
      echo "sdk_clients: $name cell by cell against the committed Wine frame: $result"
    else
      fail "$name cell by cell against the committed Wine frame: $result"
    fi
  fi
done

# ---- Wine's build of each program, when Wine is here -----------------------------------------
mingw=x86_64-w64-mingw32-g++-posix
if [[ ${KVR_SKIP_WINE:-0} != 1 ]] && command -v wine > /dev/null && command -v "$mingw" > /dev/null &&
  command -v xvfb-run > /dev/null; then
  mkdir -p "$work/wine"
  cp "$clients"/*.bmp "$clients"/*.x "$work/wine/"
  for name in "${programs[@]}"; do
    unicode=()
    grep -q 'wWinMain' "$clients/$name.cpp" && unicode=(-municode)
    if ! "$mingw" -O1 -o "$work/wine/$name.exe" "$clients/$name.cpp" "${unicode[@]}" -mwindows \
      -ld3d9 -ld3dx9 -lwinmm -static-libgcc -static-libstdc++ 2> "$work/$name.mingw.txt"; then
      cat "$work/$name.mingw.txt" >&2
      fail "$name does not build with mingw-w64"
    fi
  done
  # One X server for every run; each program closes itself after its frame.
  cat > "$work/wine/run.sh" << 'INNER'
#!/usr/bin/env bash
cd "$(dirname "$0")"
for exe in *.exe; do
  name=${exe%.exe}
  TUTORIAL_TIME_MS=$(grep -x "$name .*" moments.txt | cut -d' ' -f2) TUTORIAL_FRAME_FILE="$name.png" \
    WINEDEBUG=-all timeout 120 wine "$exe" > "$name.wine.txt" 2>&1 || echo "$name exited with $?" >> failures.txt
done
INNER
  for name in "${programs[@]}"; do echo "$name $(moment "$name")"; done > "$work/wine/moments.txt"
  xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/wine/run.sh" > /dev/null 2>&1 || true
  [[ -f "$work/wine/failures.txt" ]] && fail "under Wine: $(tr '\n' ' ' < "$work/wine/failures.txt")"
  for name in "${programs[@]}"; do
    if [[ ! -f "$work/wine/$name.png" ]]; then
      fail "$name saved no frame under Wine"
      continue
    fi
    if [[ ${KVR_WRITE_REFERENCES:-0} == 1 ]]; then
      cp "$work/wine/$name.png" "$clients/reference/$name.png"
      echo "sdk_clients: $name: wrote tests/clients/reference/$name.png"
    fi
    if result=$("$compare" "$work/wine/$name.png" "$clients/reference/$name.png"); then
      echo "sdk_clients: $name, Wine now against the committed Wine frame: $result"
    else
      fail "$name, Wine now against the committed Wine frame: $result"
    fi
    [[ -f "$work/$name.png" ]] || continue
    if result=$("$compare" "$work/$name.png" "$work/wine/$name.png"); then
      echo "sdk_clients: $name against Wine now: $result"
    else
      fail "$name against Wine now: $result"
    fi
    if [[ -f "$work/$name.png.cells" ]]; then
      if result=$("$compare_cells" "$work/$name.png" "$work/wine/$name.png" "$work/$name.png.cells"); then
        echo "sdk_clients: $name cell by cell against Wine now: $result"
      else
        fail "$name cell by cell against Wine now: $result"
      fi
    fi
  done
else
  echo "sdk_clients: no Wine run (KVR_SKIP_WINE, or wine, $mingw or xvfb-run missing): committed frames only"
fi

# ---- A message box with nobody to answer it ---------------------------------------------------
# Without its texture the last program says so in a message box and stops. With no display the
# box must not wait: the text is on standard error and the program ends at once.
mkdir -p "$work/no-texture"
if [[ -x "$work/textured_cylinder" ]]; then
  status=0
  (cd "$work/no-texture" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 ../textured_cylinder) \
    2> "$work/no-texture/stderr.txt" || status=$?
  if [[ $status -eq 124 ]]; then
    fail "a message box with no display waited"
  elif [[ $status -ne 1 ]] || ! grep -q 'Step 5: error: Could not find stripes.bmp' "$work/no-texture/stderr.txt"; then
    fail "a message box with no display: exit $status, standard error: $(cat "$work/no-texture/stderr.txt")"
  else
    echo "sdk_clients: a message box with no display went to standard error and did not wait"
  fi
fi

# ---- The SDK's header names ---------------------------------------------------------------------
cat > "$work/headers.cpp" << 'HEADERS'
#include <Windows.h>
#include <WinUser.h>
#include <WinBase.h>
#include <WinDef.h>
#include <WinNT.h>
#include <WinGDI.h>
#include <WinError.h>
#include <MMSystem.h>
#include <tchar.h>
#include <strsafe.h>
#include <d3dx9.h>
// sinf and cosf come with the Windows and D3DX headers, as with the SDK.
float Turn(float a) { return sinf(a) * cosf(a) + D3DXToRadian(a); }
HEADERS
# shellcheck disable=SC2086
c++ -fsyntax-only "$work/headers.cpp" $(PKG_CONFIG_PATH="$build" pkg-config --cflags kvrplatform) ||
  fail "the SDK's capitalised headers do not compile against the layer"

if [[ $failures -gt 0 ]]; then
  echo "sdk_clients: $failures failure(s)" >&2
  exit 1
fi
echo "sdk_clients: every program built, ran and drew as Wine does"
