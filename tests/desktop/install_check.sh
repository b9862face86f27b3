#!/bin/sh
# Installs the build into a temporary DESTDIR and checks what a desktop reads
# from it: the menu entry, the metainfo, the icons and the manual page.
# Usage: install_check.sh BUILD_DIR CMAKE
set -eu
build=$1
cmake=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT

DESTDIR="$dest" "$cmake" --install "$build" --prefix /usr >/dev/null
share="$dest/usr/share"

test -x "$dest/usr/bin/lumarest"
desktop-file-validate "$share/applications/lumarest.desktop"
grep -qx 'Exec=lumarest %F' "$share/applications/lumarest.desktop"
appstreamcli validate --no-net "$share/metainfo/com.orvenhal.lumarest.metainfo.xml" >/dev/null
grep -q '<svg' "$share/icons/hicolor/scalable/apps/lumarest.svg"
for size in 16 22 24 32 48 64 128 256; do
    png="$share/icons/hicolor/${size}x${size}/apps/lumarest.png"
    # The PNG header: signature, then the width and height of the picture.
    dims=$(od -An -tu4 --endian=big -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')
    [ "$dims" = "$size $size" ] || { echo "$png: $dims"; exit 1; }
done

page="$share/man/man1/lumarest.1"
warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "manual page warnings: $warnings"; exit 1; }
MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q 'LUMarest.log'
echo "installed and valid: $(cd "$dest" && find . -type f | wc -l) files"
