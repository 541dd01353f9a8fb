#!/usr/bin/env bash
# Installs the built program into a scratch prefix and checks what a desktop needs of it: the
# launcher entry and the software-centre description pass their validators, the icon and the
# documents are in place, and the program answers --version without a display.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.postwick.Postwick
desktop="$prefix/share/applications/$id.desktop"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
[ -x "$prefix/bin/postwick" ] || fail "no program"
[ -f "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no icon"
for doc in pwkUman.pdf pwk_state_abbreviations.pdf; do
  head -c 5 "$prefix/share/doc/postwick/$doc" | grep -q '%PDF' || fail "no $doc"
done
desktop-file-validate "$desktop" || fail "desktop entry"
grep -q '^Categories=Office;ContactManagement;$' "$desktop" || fail "categories"
grep -q "^Icon=$id$" "$desktop" || fail "icon name"
appstreamcli validate --no-net "$metainfo" || fail "metainfo"
version="$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/postwick" --version)"
[ "$version" = "Postwick Version 6.4.0" ] || fail "version said: $version"
echo "install: ok"
