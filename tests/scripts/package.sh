#!/usr/bin/env bash
# The installed kvrview. The two Debian packages (cpack writes them and their staging into a
# temporary folder), kvrview and libkvrplatform-dev: their names, fields, dependencies, files and
# their modes, lintian (no error, no warning), each unpacked alone into a scratch root: the viewer
# run from it without a display on its sample, and a plain Win32/Direct3D 9 program built against
# the -dev package's files and run headless. `cmake --install` into a DESTDIR: the files of both
# packages under /usr, and kvrplatform.pc in lib/pkgconfig under /usr/local. The Windows zip, when
# there is a Windows build (KVR_WINDOWS_BUILD, default SOURCE_DIR/build-win).
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
multiarch=$(sed -n 's/^CMAKE_LIBRARY_ARCHITECTURE:[A-Z]*=//p' "$build/CMakeCache.txt")
multiarch=${multiarch:-$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)}
libdir=lib/$multiarch
viewer=$work/deb/kvrview_${version}_amd64.deb
dev=$work/deb/libkvrplatform-dev_${version}_amd64.deb

cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1
check "cpack writes kvrview_${version}_amd64.deb and libkvrplatform-dev_${version}_amd64.deb, nothing else" \
  equals "$(cd "$work/deb" && ls ./*.deb | tr '\n' ' ')" \
  "./kvrview_${version}_amd64.deb ./libkvrplatform-dev_${version}_amd64.deb "
if [ ! -f "$viewer" ] || [ ! -f "$dev" ]; then
  cat "$work/cpack.log"
  exit 1
fi

# shellcheck disable=SC2016  # ${Field} is dpkg-deb's, not the shell's
format='${Package} ${Version} ${Architecture} ${Section}\n'
check "the viewer's package is kvrview $version for amd64 in graphics" \
  equals "$(dpkg-deb --show --showformat="$format" "$viewer")" "kvrview $version amd64 graphics"
check "the layer's is libkvrplatform-dev $version for amd64 in libdevel" \
  equals "$(dpkg-deb --show --showformat="$format" "$dev")" "libkvrplatform-dev $version amd64 libdevel"
for deb in "$viewer" "$dev"; do
  check "$(basename "$deb") has a maintainer with an address" \
    holds "$(dpkg-deb --field "$deb" Maintainer)" '^[A-Za-z][^<>]* <[^@<> ]+@[^@<> ]+\.[a-z]+>$'
done
depends=$(dpkg-deb --field "$viewer" Depends)
for library in libsdl2 libpng16 libfreetype6 libfontconfig1 libsquish0 libepoxy0 libstdc++6 libc6 libgl1 libegl1; do
  check "kvrview depends on $library" holds "$depends" "(^|, )${library//+/\\+}[-a-z0-9.]*( |,|\$)"
done
check "and on no development package" lacks "$depends" '-dev\b'
depends=$(dpkg-deb --field "$dev" Depends)
for package in libsdl2-dev libepoxy-dev libfreetype-dev libfontconfig-dev libsquish-dev libpng-dev libstb-dev libc6-dev; do
  check "libkvrplatform-dev depends on $package" holds "$depends" "(^|, |\\| )$package( |,|\$)"
done
check "and not on the viewer" lacks "$depends" '(^|, )kvrview\b'

# The file lists: what each holds, and that nothing is in both or in neither.
listing() { dpkg-deb --contents "$1"; }
files() { listing "$1" | awk '$1 !~ /^d/ {print substr($6, 2)}' | sort; }
viewer_files=$(files "$viewer")
dev_files=$(files "$dev")
for file in /usr/bin/kvrview /usr/share/man/man1/kvrview.1.gz /usr/share/bash-completion/completions/kvrview \
  /usr/share/applications/kvrview.desktop /usr/share/kvrview/sample/duskfen/KVRStartUp.gam \
  /usr/share/kvrview/sample/textures/kvrcursor.dds /usr/share/doc/kvrview/copyright \
  /usr/share/doc/kvrview/changelog.gz /usr/share/doc/kvrview/README.md; do
  check "kvrview holds $file" holds "$viewer_files" "^$file\$"
done
check "and nothing of the layer" lacks "$viewer_files" '\.a$|\.pc$|^/usr/include'
for file in "/usr/$libdir/libkvrplatform.a" "/usr/$libdir/libkvrplatform_main.a" \
  "/usr/$libdir/pkgconfig/kvrplatform.pc" /usr/include/kvrplatform/windows.h /usr/include/kvrplatform/d3dx9.h \
  /usr/include/kvrplatform/shlobj.h /usr/share/doc/libkvrplatform-dev/copyright \
  /usr/share/doc/libkvrplatform-dev/changelog.gz /usr/share/doc/libkvrplatform-dev/README.md; do
  check "libkvrplatform-dev holds $file" holds "$dev_files" "^$file\$"
done
check "and nothing of the viewer" lacks "$dev_files" '^/usr/(bin|share/(kvrview|man|applications|bash-completion|doc/kvrview))/'
check "and every header is under /usr/include/kvrplatform" lacks "$dev_files" '^/usr/include/(?!kvrplatform/)'
all_files=$(sort <<<"$viewer_files"$'\n'"$dev_files")
check "no seam, nothing of git's" lacks "$all_files" 'testing|gtest|\.git'
for deb in "$viewer" "$dev"; do
  name=$(basename "$deb")
  check "$name: everything belongs to root" lacks "$(listing "$deb")" '^\S+ (?!root/root)'
  check "$name: folders are 0755" lacks "$(listing "$deb")" '^d(?!rwxr-xr-x)'
done
check "the program is the one file that runs" equals \
  "$(listing "$viewer" | awk '$1 ~ /^-/ && $1 != "-rw-r--r--" {print $1, $6}')$(listing "$dev" |
     awk '$1 ~ /^-/ && $1 != "-rw-r--r--" {print $1, $6}')" "-rwxr-xr-x ./usr/bin/kvrview"

# Each unpacked alone into a scratch root, as a system holding only it would have it.
viewer_root=$work/viewer-root
dev_root=$work/dev-root
dpkg-deb -x "$viewer" "$viewer_root"
dpkg-deb -x "$dev" "$dev_root"
elf=$(readelf -SW -lW -d "$viewer_root/usr/bin/kvrview")
check "the program is stripped" lacks "$elf" '\.symtab|\.debug_'
check "and hardened: read-only relocations, bound at start" \
  holds "$(grep -E 'GNU_RELRO|BIND_NOW|FLAGS_1' <<<"$elf" | tr '\n' ' ')" 'GNU_RELRO.*(BIND_NOW|NOW)'
check "its checked string functions are the fortified ones" \
  holds "$(readelf -W --dyn-syms "$viewer_root/usr/bin/kvrview")" '__\w+_chk@'
check "the static library holds no debug information" \
  lacks "$(readelf -S "$dev_root/usr/$libdir/libkvrplatform.a")" '\.debug_'
pc=$dev_root/usr/$libdir/pkgconfig/kvrplatform.pc
check "the installed kvrplatform.pc names /usr, the multiarch folder and no build folder" \
  equals "$(grep -c "^prefix=/usr\$" "$pc"):$(grep -c "^libdir=\${prefix}/$libdir\$" "$pc"):$(grep -cE "$src|$build" \
  "$pc")" "1:1:0"
check "the layer's README is its section of kvrview's" \
  holds "$(head -n 1 "$dev_root/usr/share/doc/libkvrplatform-dev/README.md")" '^# The platform layer$'
for root in "$viewer_root" "$dev_root"; do
  for doc in "$root"/usr/share/doc/*/changelog.gz; do
    check "$(basename "$(dirname "$doc")")'s changelog's last entry is this version" \
      holds "$(gzip -dc "$doc" | head -n 1)" "^kvrview \($version\) "
  done
done
if command -v desktop-file-validate >/dev/null; then
  check "the desktop entry is valid" desktop-file-validate "$viewer_root/usr/share/applications/kvrview.desktop"
fi

out=$(cd "$viewer_root" && env -u DISPLAY usr/bin/kvrview --version 2>&1)
check "the unpacked program prints its version" equals "$out" "kvrview $version"
(cd "$viewer_root" && env -u DISPLAY timeout 120 usr/bin/kvrview --check usr/share/kvrview/sample) >"$work/check.out" 2>&1
status=$?
check "and checks the unpacked sample without a display, finding no problem" equals "$status" 0
[ "$status" -eq 0 ] || sed 's/^/     /' "$work/check.out" | head -n 5
check "writing nothing into it" equals "$(find "$viewer_root/usr/share/kvrview/sample" -newer "$viewer" | wc -l)" 0

# Against the -dev package alone: pkg-config's paths into its root, the compiler's own folders for
# the libraries it depends on.
export PKG_CONFIG_SYSROOT_DIR=$dev_root PKG_CONFIG_PATH=$dev_root/usr/$libdir/pkgconfig
flags=$(pkg-config --cflags --libs kvrplatform)
check "the unpacked kvrplatform.pc points into its root" \
  holds "$flags" "^-I$dev_root/usr/include/kvrplatform .* -L$dev_root/usr/$libdir -lkvrplatform_main -lkvrplatform "
# shellcheck disable=SC2086  # the flags are meant to split into words
c++ -o "$work/consumer" "$src"/tests/scripts/consumer/*.cpp $flags 2>"$work/consumer.err"
check "a plain Win32/Direct3D 9 program builds against it" test -x "$work/consumer"
[ -x "$work/consumer" ] || head -n 20 "$work/consumer.err"
unset PKG_CONFIG_SYSROOT_DIR PKG_CONFIG_PATH
mkdir "$work/run"
(cd "$work/run" && SDL_VIDEODRIVER=offscreen timeout 120 "$work/consumer")
check "and runs headless to a clean stop" equals "$?" 0
check "saving its frame" test -s "$work/run/consumer-frame.png"

if command -v lintian >/dev/null; then
  for deb in "$viewer" "$dev"; do
    lintian --pedantic -I "$deb" >"$work/lintian.out" 2>&1
    sed -n '/^[EWI]: /s/^/     lintian: /p' "$work/lintian.out"
    check "lintian reports no error and no warning on $(basename "$deb")" lacks "$(cat "$work/lintian.out")" '^[EW]: '
  done
else
  echo "skip lintian is not installed"
fi

# `make install DESTDIR=...` installs what the two packages hold; under another prefix the layer's
# files go to lib/, where that prefix's pkg-config looks.
dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1
check "cmake --install puts the packages' files in DESTDIR" \
  equals "$(cd "$dest" && find . -type f | sed 's/^\.//' | sort | tr '\n' ' ')" "$(tr '\n' ' ' <<<"$all_files")"
local_dest=$work/local
DESTDIR=$local_dest cmake --install "$build" --prefix /usr/local >"$work/install-local.log" 2>&1
check "under /usr/local, kvrplatform.pc is in lib/pkgconfig and names lib" \
  equals "$(grep -h '^libdir=' "$local_dest"/usr/local/lib/pkgconfig/kvrplatform.pc 2>&1)" 'libdir=${prefix}/lib'
check "beside the libraries" test -f "$local_dest/usr/local/lib/libkvrplatform.a"

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
