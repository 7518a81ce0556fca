#!/usr/bin/env bash
# The installed kvrview. The Debian package (cpack writes it and its staging into a temporary
# folder): its name, fields, files and their modes, lintian's errors, and the program run from the
# unpacked package without a display. `cmake --install` into a DESTDIR: the same files as the
# package, and a plain Win32/Direct3D 9 program built against the installed kvrplatform.pc and run
# headless. The Windows zip, when there is a Windows build (KVR_WINDOWS_BUILD, default
# SOURCE_DIR/build-win).
# Usage: package.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
windows_build=${KVR_WINDOWS_BUILD:-$src/build-win}

for tool in cpack dpkg-deb dpkg-shlibdeps pkg-config c++ readelf; do
  command -v "$tool" >/dev/null || { echo "package: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done
[ -f "$build/CPackConfig.cmake" ] || { echo "package: $build is not a configured build" >&2; exit 1; }

work=$(mktemp -d /tmp/kvr-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
. "$src/tests/scripts/e2e/checks.sh"
equals() { [ "$1" = "$2" ] || { echo "     ('$1' is not '$2')"; return 1; }; }
# Perl regular expressions, which can say "not followed by".
holds() { grep -qP -- "$2" <<<"$1" || { echo "     (no '$2' in: $(head -c 300 <<<"$1"))"; return 1; }; }
lacks() { ! grep -P -- "$2" <<<"$1" | sed 's/^/     unwanted: /' | grep .; }

version=$(sed -n 's/^project(kvrview VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
deb=$work/deb/kvrview_${version}_amd64.deb

cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1
check "cpack writes kvrview_${version}_amd64.deb" test -f "$deb"
if [ ! -f "$deb" ]; then
  cat "$work/cpack.log"
  exit 1
fi

# shellcheck disable=SC2016  # ${Field} is dpkg-deb's, not the shell's
fields=$(dpkg-deb --show --showformat='${Package} ${Version} ${Architecture} ${Section}\n' "$deb")
check "the package is kvrview $version for amd64 in graphics" equals "$fields" "kvrview $version amd64 graphics"
depends=$(dpkg-deb --field "$deb" Depends)
for library in libsdl2 libpng16 libfreetype6 libfontconfig1 libsquish0 libepoxy0 libstdc++6 libc6 libgl1 libegl1; do
  check "Depends names $library" holds "$depends" "(^|, )${library//+/\\+}[-a-z0-9.]*( |,|\$)"
done

listing=$(dpkg-deb --contents "$deb")
files=$(awk '{print substr($6, 2)}' <<<"$listing" | sort)
for file in /usr/bin/kvrview /usr/share/man/man1/kvrview.1.gz /usr/share/bash-completion/completions/kvrview \
  /usr/share/applications/kvrview.desktop "/usr/$libdir/libkvrplatform.a" "/usr/$libdir/libkvrplatform_main.a" \
  "/usr/$libdir/pkgconfig/kvrplatform.pc" /usr/include/kvrplatform/windows.h /usr/include/kvrplatform/d3dx9.h \
  /usr/share/kvrview/sample/duskfen/KVRStartUp.gam /usr/share/kvrview/sample/textures/kvrcursor.dds \
  /usr/share/doc/kvrview/copyright /usr/share/doc/kvrview/changelog.gz /usr/share/doc/kvrview/README.md; do
  check "the package holds $file" holds "$files" "^$file\$"
done
check "and no test seam, and nothing of git's" lacks "$files" 'testing|gtest|\.git'
check "everything belongs to root" lacks "$listing" '^\S+ (?!root/root)'
check "the program is the one file that runs" equals \
  "$(awk '$1 ~ /^-/ && $1 != "-rw-r--r--" {print $1, $6}' <<<"$listing")" "-rwxr-xr-x ./usr/bin/kvrview"
check "and folders are 0755" lacks "$listing" '^d(?!rwxr-xr-x)'

root=$work/root
dpkg-deb -x "$deb" "$root"
check "the program is stripped" lacks "$(readelf -S "$root/usr/bin/kvrview")" '\.symtab|\.debug_'
check "the static library holds no debug information" \
  lacks "$(readelf -S "$root/usr/$libdir/libkvrplatform.a")" '\.debug_'
check "the installed kvrplatform.pc names /usr and no build folder" \
  equals "$(grep -c "^prefix=/usr\$" "$root/usr/$libdir/pkgconfig/kvrplatform.pc"):$(grep -cE "$src|$build" \
  "$root/usr/$libdir/pkgconfig/kvrplatform.pc")" "1:0"
check "the changelog's last entry is this version" \
  holds "$(gzip -dc "$root/usr/share/doc/kvrview/changelog.gz" | head -n 1)" "^kvrview \($version\) "
if command -v desktop-file-validate >/dev/null; then
  check "the desktop entry is valid" desktop-file-validate "$root/usr/share/applications/kvrview.desktop"
fi

out=$(cd "$root" && env -u DISPLAY usr/bin/kvrview --version 2>&1)
check "the unpacked program prints its version" equals "$out" "kvrview $version"
(cd "$root" && env -u DISPLAY timeout 120 usr/bin/kvrview --check usr/share/kvrview/sample) >"$work/check.out" 2>&1
status=$?
check "and checks the installed sample without a display, finding no problem" equals "$status" 0
[ "$status" -eq 0 ] || sed 's/^/     /' "$work/check.out" | head -n 5
check "writing nothing into it" equals "$(find "$root/usr/share/kvrview/sample" -newer "$deb" | wc -l)" 0

if command -v lintian >/dev/null; then
  lintian --pedantic -I "$deb" >"$work/lintian.out" 2>&1
  sed -n '/^[EWI]: /s/^/     lintian: /p' "$work/lintian.out"
  check "lintian reports no error" lacks "$(cat "$work/lintian.out")" '^E: '
else
  echo "skip lintian is not installed"
fi

# `make install DESTDIR=...` installs what the package holds, and a plain program builds on it.
dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1
check "cmake --install puts the package's files in DESTDIR" \
  equals "$(cd "$dest" && find . -type f | sed 's/^\.//' | sort | tr '\n' ' ')" \
  "$(awk '$1 ~ /^-/ {print substr($6, 2)}' <<<"$listing" | sort | tr '\n' ' ')"
export PKG_CONFIG_SYSROOT_DIR=$dest PKG_CONFIG_PATH=$dest/usr/$libdir/pkgconfig
flags=$(pkg-config --cflags --libs kvrplatform)
check "the installed kvrplatform.pc points into DESTDIR" \
  holds "$flags" "^-I$dest/usr/include/kvrplatform .* -L$dest/usr/$libdir -lkvrplatform_main -lkvrplatform "
# shellcheck disable=SC2086  # the flags are meant to split into words
c++ -o "$work/consumer" "$src"/tests/scripts/consumer/*.cpp $flags 2>"$work/consumer.err"
check "a plain Win32/Direct3D 9 program builds against it" test -x "$work/consumer"
[ -x "$work/consumer" ] || head -n 20 "$work/consumer.err"
unset PKG_CONFIG_SYSROOT_DIR PKG_CONFIG_PATH
mkdir "$work/run"
(cd "$work/run" && SDL_VIDEODRIVER=offscreen timeout 120 "$work/consumer")
check "and runs headless to a clean stop" equals "$?" 0
check "saving its frame" test -s "$work/run/consumer-frame.png"

if [ -f "$windows_build/CPackConfig.cmake" ]; then
  cpack --config "$windows_build/CPackConfig.cmake" -B "$work/zip" >"$work/zip.log" 2>&1
  zip=$work/zip/kvrview-$version-windows.zip
  entries=$(cmake -E tar tf "$zip" 2>&1 | sort)
  top=kvrview-$version-windows
  for entry in "$top/kvrview.exe" "$top/README.md" "$top/sample/duskfen/KVRStartUp.gam"; do
    check "the Windows zip holds $entry" holds "$entries" "^$entry\$"
  done
  check "and nothing outside $top/" lacks "$entries" "^(?!$top/)"
else
  echo "skip no Windows build at $windows_build"
fi

if [ "$failures" -ne 0 ]; then
  echo "package: $failures checks failed" >&2
  exit 1
fi
echo "package: all checks passed"
