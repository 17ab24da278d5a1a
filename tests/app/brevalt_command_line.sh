#!/bin/sh
# brevalt_command_line.sh BREVALT VERSION: the program as a shell sees it.
# --version and --help answer on stdout without a display; no display, a
# display that cannot be opened, or a missing file each give one line of
# brevalt's own on stderr and status 2.
brevalt=$1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
fail() { echo "FAIL: $*"; exit 1; }
refused() {
  err=$("$@" 2>&1 >/dev/null)
  status=$?
  lines=$(printf '%s\n' "$err" | grep -c '^brevalt: ')
  [ "$status" -eq 2 ] && [ "$lines" -eq 1 ] || fail "$*: $status $err"
}
[ "$("$brevalt" --version)" = "brevalt $2" ] || fail "--version"
"$brevalt" --help | grep -q '^usage: brevalt \[FILE\]$' || fail "--help"
refused "$brevalt"
refused env DISPLAY=:9999 "$brevalt"
refused env QT_QPA_PLATFORM=offscreen "$brevalt" /nonexistent/a_1_2.tbs.bidx
echo "command line: all passed"
