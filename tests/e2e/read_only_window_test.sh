#!/usr/bin/env bash
# A contacts file the user may only read, opened by the real program as an ordinary user on a
# virtual display: the window comes up showing the file, marked read-only in its title. As root the
# program runs as nobody; as anyone else, as that user.
set -euo pipefail
program="$1"
unset QT_QPA_PLATFORM
work="$(mktemp -d)"
trap 'status=$?; [ $status -eq 0 ] || cat "$work/home/stderr.txt" 2>/dev/null; rm -rf "$work"' EXIT
chmod 0755 "$work"
mkdir -m 0777 "$work/home" "$work/home/run"
mkdir -m 0755 "$work/files"
# One contact, framed as the program writes it: 518 bytes with "|" between the fields.
printf 'Ann           | |Lee               |12 Main St                    |               |Reno            |NV|89501     |                   |               |               |             |                                                  |        |%80s|%160s|                              |0|1\r\n' '' '' > "$work/files/c.DAT"
# A lock file anyone may lock, so that no warning stands before the window.
touch "$work/files/c.DAT.lock"
chmod 0666 "$work/files/c.DAT.lock"
chmod 0444 "$work/files/c.DAT"
[ "$(stat -c %s "$work/files/c.DAT")" = 518 ] || { echo "the sample record is not 518 bytes"; exit 1; }
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)

HOME="$work/home" XDG_RUNTIME_DIR="$work/home/run" xvfb-run -a -s "-ac -screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  program="$1"; shift
  env -u XAUTHORITY "$@" "$program" "'"$work"'/files/c.DAT" 2>"$HOME/stderr.txt" &
  pid=$!
  found=$(timeout 60 xdotool search --sync --name "^Postwick  \[c\]  \(read-only\)$" | head -1) || true
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ -n "$found" ] || { echo "FAIL: no window titled Postwick  [c]  (read-only)"; exit 1; }
' bash "$program" "${as_user[@]}"
echo "read-only file in the window as an ordinary user: ok"
