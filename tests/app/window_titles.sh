#!/usr/bin/env bash
# The windowed program under an X server, its windows' titles read as the window system shows them: the wizard
# and its Help box carry the meter's name alone, a message box without a title of its own the application title.
# Usage: window_titles.sh BUILD_DIR        (exit status 77: skipped, no Xvfb or xdotool)
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "needs $tool"; exit 77; }
done
work=$(mktemp -d)
pid=
xvfb=
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# The server picks a free display itself and names it (-displayfd): no race with other servers starting now.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"
# COM16 is a device that does not exist: its port test fails with a box that has no title of its own.
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM]' \
  '"/nonexistent/tty"="COM16"' '' '[HKEY_LOCAL_MACHINE\SOFTWARE\Corvane\H]' '"LanguageDLL"="English"' \
  >"$work/HKEY_LOCAL_MACHINE.reg"
env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY CORVANE_REGISTRY_DIR="$work" CORVANE_LANGUAGE_PATH="$build/lang" \
  ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" "$build/bdlogic" "H|17|16|64" 2>"$work/stderr" &
pid=$!

# expect TITLE...: waits up to 10 s until the program's visible windows carry exactly these titles.
expect() {
  local want got=
  want=$(printf '%s\n' "$@" | sort)
  for _ in $(seq 100); do
    got=$(xdotool search --onlyvisible --pid "$pid" --name . getwindowname %@ 2>/dev/null | sort) || true
    [ "$got" != "$want" ] || return 0
    sleep 0.1
  done
  echo "expected windows: [$(paste -sd'|' <<<"$want")], found: [$(paste -sd'|' <<<"$got")]" >&2
  cat "$work/stderr" >&2
  exit 1
}

expect "BD Logic"
xdotool key F1
expect "BD Logic" "BD Logic"
xdotool key Return
expect "BD Logic"
# Without a window manager nobody gives the focus back to the wizard once the box is gone.
xdotool search --onlyvisible --pid "$pid" --name . windowfocus --sync
xdotool key space # Next: the port page
xdotool key Return # the focus is on the port list: Enter is Next, and the port test fails
expect "BD Logic" "BD Logic Data Import"
