#!/usr/bin/env bash
# Starts the real program on a virtual display with a fresh home folder, checks what the first
# start creates, leaves through File > Exit with the keyboard and checks the stored geometry.
set -euo pipefail
program="$1"
# The program goes on the virtual display even when the caller runs its window tests offscreen.
unset QT_QPA_PLATFORM
home="$(mktemp -d)"
# On failure the program's own error output says why (a sanitizer's report, a Qt warning).
trap 'status=$?; [ $status -eq 0 ] || cat "$home/stderr.txt" 2>/dev/null; rm -rf "$home"' EXIT

HOME="$home" XDG_RUNTIME_DIR="$home/run" xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  "$0" 2>"$HOME/stderr.txt" &
  pid=$!
  window=$(timeout 60 xdotool search --sync --name "^Postwick$" | head -1)
  # Exit is the last item of the File menu. A busy machine may miss keys, so try a few times.
  for attempt in 1 2 3 4 5; do
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.5
    xdotool key --clearmodifiers alt+f
    sleep 0.7
    xdotool key Up Return
    for _ in $(seq 25); do kill -0 "$pid" 2>/dev/null || break 2; sleep 0.2; done
    xdotool key Escape Escape 2>/dev/null || true
  done
  if kill -0 "$pid" 2>/dev/null; then echo "still running after File > Exit"; kill "$pid"; exit 1; fi
  wait "$pid"
' "$program"

fail() { echo "FAIL: $*"; exit 1; }
folder="$home/Documents/Postwick"
[ -f "$folder/PWK_Contacts.DAT" ] || fail "no PWK_Contacts.DAT"
[ "$(stat -c %s "$folder/PWK_Contacts.DAT")" = 0 ] || fail "PWK_Contacts.DAT is not empty"
[ "$(stat -c %s "$folder/PWKPARAM.TXT")" = 72 ] || fail "PWKPARAM.TXT missing or not as delivered"
conf="$home/.config/Postwick/Postwick.conf"
[ -f "$conf" ] || fail "no settings written"
grep -q '^\[Settings\]' "$conf" || fail "no Settings section"
for key in MainLeft MainTop MainWidth MainHeight; do
  grep -Eq "^$key=[0-9]+$" "$conf" || fail "$key missing"
done
grep -Eq '^MainWidth=[1-9][0-9]{3,}$' "$conf" || fail "MainWidth is not in twips"
echo "first start and File > Exit: ok"
