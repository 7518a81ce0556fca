#!/usr/bin/env bash
# kvrview on the desktop, from a staged install (`cmake --install` into a DESTDIR): the desktop
# entry and the AppStream metainfo validate, every icon size is there, the MIME types are known by
# extension and by the first word, the thumbnailer's Exec line run as a file manager runs it draws
# the model (inside the sample, and alone in an empty folder) without a display and without
# writing anything else, and --turntable's GIF, WebP and PNG strip hold the pictures --render draws.
# Usage: desktop.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)

for tool in desktop-file-validate appstreamcli update-mime-database xdg-mime gio /usr/bin/identify \
  /usr/bin/convert /usr/bin/compare cmp; do
  command -v "$tool" >/dev/null || { echo "desktop: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/kvr-desktop-XXXXXX)
trap 'rm -rf "$work"' EXIT
. "$src/tests/scripts/e2e/checks.sh"
equals() { [ "$1" = "$2" ] || { echo "     ('$1' is not '$2')"; return 1; }; }
holds() { grep -qP -- "$2" <<<"$1" || { echo "     (no '$2' in: $(head -c 300 <<<"$1"))"; return 1; }; }
lacks() { ! grep -P -- "$2" <<<"$1" | sed 's/^/     unwanted: /' | grep .; }
at_least() { [ -n "$1" ] && [ "$1" -ge "$2" ] || { echo "     ($1 is below $2)"; return 1; }; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }' || { echo "     ($1 is not below $2)"; return 1; }; }
size() { /usr/bin/identify -format '%wx%h' "$1"; }
colours() { /usr/bin/convert "$1" -format '%k' info:; }
# The root-mean-square difference of two pictures, 0 to 1.
difference() { /usr/bin/compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p'; }
# Every file under a folder with its checksum.
listing() { (cd "$1" && find . -print0 | sort -z | xargs -0 -n 64 sh -c 'for f; do [ -f "$f" ] && cksum "$f" || echo "$f"; done' _); }

stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; exit 1; }
share=$stage/usr/share
viewer=$stage/usr/bin/kvrview
# The staged program as PATH finds it, through run_sanitized, which changes nothing for a plain
# build and keeps the software GL driver loaded for a sanitized one (whose leak check would
# otherwise blame the driver's own state once it is unloaded).
mkdir "$work/bin"
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$src/tests/asan/run_sanitized" "$viewer" >"$work/bin/kvrview"
chmod +x "$work/bin/kvrview"

entry=$share/applications/kvrview.desktop
check "desktop-file-validate passes the desktop entry" desktop-file-validate "$entry"
mimetypes=$(sed -n 's/^MimeType=//p' "$entry")
check "its MimeType lists the model, animation and manifest types" \
  equals "$mimetypes" "model/x-pie;model/x-anim3d;text/x-kvr-manifest;"
check "and names the icon" equals "$(sed -n 's/^Icon=//p' "$entry")" kvrview

metainfo=$share/metainfo/org.kvrview.kvrview.metainfo.xml
appstream=$(appstreamcli validate --no-net "$metainfo" 2>&1)
check "appstreamcli validate passes the metainfo" equals "$?" 0
check "with no error or warning" lacks "$appstream" '^[EW]: '
version=$(sed -n '1s/^kvrview (\([^)]*\)).*/\1/p' "$src/packaging/changelog")
date=$(sed -n '0,/^ -- /s/^ -- .*>  \(.*\)$/\1/p' "$src/packaging/changelog")
check "whose release is the changelog's latest" \
  holds "$(cat "$metainfo")" "<release version=\"$version\" date=\"$(date -u -d "$date" +%F)\"/>"
check "naming the desktop entry" holds "$(cat "$metainfo")" '<launchable type="desktop-id">kvrview.desktop</launchable>'

check "the scalable icon is there" test -s "$share/icons/hicolor/scalable/apps/kvrview.svg"
for px in 16 24 32 48 64 128 256; do
  icon=$share/icons/hicolor/${px}x${px}/apps/kvrview.png
  check "the ${px}-pixel icon is ${px}x${px}" equals "$( [ -f "$icon" ] && size "$icon")" "${px}x${px}"
done

# The MIME types, as a desktop session sees them after the trigger runs update-mime-database.
export XDG_DATA_HOME=$work/xdg XDG_CURRENT_DESKTOP=GNOME
mkdir -p "$XDG_DATA_HOME/mime/packages" "$work/files"
cp "$share/mime/packages/kvrview.xml" "$XDG_DATA_HOME/mime/packages/"
update-mime-database "$XDG_DATA_HOME/mime" >"$work/mime.log" 2>&1
check "update-mime-database reads the types" equals "$?" 0
cp "$share/kvrview/sample/duskfen/structs/windmill.pie" "$work/files/windmill.pie"
cp "$share/kvrview/sample/duskfen/structs/windmill.pie" "$work/files/windmill-copy"
printf 'LEVELS 1\n' >"$work/files/cut.pie"
cp "$share/kvrview/sample/duskfen/anims/windmill.ani" "$work/files/"
cp "$share/kvrview/sample/duskfen/KVRStartUp.gam" "$work/files/"
filetype() { xdg-mime query filetype "$work/files/$1" 2>/dev/null; }
check "a .pie file is model/x-pie" equals "$(filetype windmill.pie)" model/x-pie
check "so is one without the extension whose first word is PIE" equals "$(filetype windmill-copy)" model/x-pie
check "a .pie file of other words by its name" equals "$(filetype cut.pie)" model/x-pie
check "an ANIM3D file is model/x-anim3d" equals "$(filetype windmill.ani)" model/x-anim3d
check "a .gam manifest is text/x-kvr-manifest" equals "$(filetype KVRStartUp.gam)" text/x-kvr-manifest
unset XDG_DATA_HOME XDG_CURRENT_DESKTOP

# The thumbnailer as a file manager runs it: Exec split into words, then %i, %o and %s filled in,
# the program found on PATH (the staged one first), a display named that is not there to be waited on.
thumbnailer=$share/thumbnailers/kvrview.thumbnailer
check "the thumbnailer is for model/x-pie" equals "$(sed -n 's/^MimeType=//p' "$thumbnailer")" "model/x-pie;"
read -r -a exec_words <<<"$(sed -n 's/^Exec=//p' "$thumbnailer")"
thumbnail() {  # FILE OUT SIZE: runs the Exec line in an empty folder of its own
  local words=() word run
  for word in "${exec_words[@]}"; do
    word=${word//%i/$1}
    word=${word//%o/$2}
    words+=("${word//%s/$3}")
  done
  run=$(mktemp -d "$work/run-XXXX")
  (cd "$run" && PATH=$work/bin:$PATH DISPLAY=:97 WAYLAND_DISPLAY=nowhere timeout 20 "${words[@]}")
  local status=$?
  [ -z "$(ls -A "$run")" ] || { echo "     (it wrote $(ls -A "$run") into the folder it ran in)"; status=99; }
  return $status
}
sample=$share/kvrview/sample
before=$(listing "$sample")
mkdir "$work/thumbs"
check "the Exec line draws a model of the sample" \
  thumbnail "$sample/duskfen/structs/windmill.pie" "$work/thumbs/windmill.png" 128
check "into a PNG of the asked size" equals "$(size "$work/thumbs/windmill.png")" 128x128
check "showing the model, textured" at_least "$(colours "$work/thumbs/windmill.png")" 200
check "writing nothing else" equals "$(ls "$work/thumbs")" windmill.png
check "and nothing into the data set" equals "$(listing "$sample")" "$before"
mkdir "$work/lone"
cp "$sample/duskfen/structs/factory.pie" "$work/lone/"
check "a lone .pie in an empty folder is drawn" thumbnail "$work/lone/factory.pie" "$work/thumbs/lone.png" 256
check "at 256x256" equals "$(size "$work/thumbs/lone.png")" 256x256
check "shaded, not flat" at_least "$(colours "$work/thumbs/lone.png")" 8
check "and its folder keeps the model alone" equals "$(ls -A "$work/lone")" factory.pie
# A data set above a file is read as any other: one whose manifest points out of it is refused
# there, and the model is still drawn.
mkdir -p "$work/hostile/duskfen/structs"
printf 'Animations: ../../../../../etc\\\nStructures: duskfen\\structs\\\n' >"$work/hostile/duskfen/KVRStartUp.gam"
cp "$sample/duskfen/structs/windmill.pie" "$work/hostile/duskfen/structs/"
hostile_before=$(listing "$work/hostile")
check "a model under a hostile data set is drawn" \
  thumbnail "$work/hostile/duskfen/structs/windmill.pie" "$work/thumbs/hostile.png" 64
check "shaded, its page missing" at_least "$(colours "$work/thumbs/hostile.png")" 8
check "and the data set is left as it was" equals "$(listing "$work/hostile")" "$hostile_before"
printf 'not a model\n' >"$work/lone/notes.pie"
thumbnail "$work/lone/notes.pie" "$work/thumbs/notes.png" 128 2>"$work/notes.err"
check "a file that is no model exits with 1" equals "$?" 1
check "writing no picture" test ! -e "$work/thumbs/notes.png"

# Turntables of the windmill (animated: its sails turn) from the installed sample.
cd "$work" || exit 1
kvr() { env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen "$work/bin/kvrview" "$@"; }
kvr --render windmill --size 160x120 -o render.png "$sample"
kvr --turntable windmill --size 160x120 --frames 12 --seconds 1.2 -o turn.gif "$sample"
check "--turntable writes a GIF" equals "$?" 0
check "that ImageMagick reads as 12 pictures of 160x120" \
  equals "$(/usr/bin/identify -format '%wx%h %T\n' turn.gif | sort | uniq -c | sed 's/^ *//')" "12 160x120 10"
/usr/bin/convert 'turn.gif[0]' first.png
check "whose first equals --render within the palette's error" below "$(difference first.png render.png)" 0.02
/usr/bin/convert 'turn.gif[6]' half.png
check "and whose seventh is the model half way round" at_least "$(difference half.png first.png | awk '{print int($1 * 1000)}')" 20
kvr --turntable windmill --size 160x120 --frames 12 --seconds 1.2 -o again.gif "$sample"
check "the same turntable twice is the same file" cmp turn.gif again.gif
kvr --turntable windmill --size 160x120 --frames 12 -o turn.webp "$sample"
check "--turntable writes an animated WebP" equals "$?" 0
check "of 12 pictures on a 160x120 canvas" \
  equals "$(/usr/bin/identify -format '%Wx%H\n' turn.webp | sort | uniq -c | sed 's/^ *//')" "12 160x120"
/usr/bin/convert 'turn.webp[0]' webp-first.png
check "whose first equals --render" below "$(difference webp-first.png render.png)" 0.002
kvr --turntable windmill --size 160x120 --frames 12 -o again.webp "$sample"
check "byte for byte each time" cmp turn.webp again.webp
kvr --turntable windmill --size 160x120 --frames 12 -o strip.png "$sample"
check "a .png turntable is the pictures side by side" equals "$(size strip.png)" 1920x120
/usr/bin/convert strip.png -crop 160x120+0+0 +repage strip-first.png
check "the first of them --render's picture" below "$(difference strip-first.png render.png)" 0.002
kvr --turntable windmill -o turn.jpg "$sample" 2>jpg.err
check "another extension is a usage error" equals "$?" 2

if [ "$failures" -ne 0 ]; then
  echo "desktop: $failures checks failed" >&2
  exit 1
fi
echo "desktop: all checks passed"
