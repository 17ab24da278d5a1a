#!/bin/sh
# brevalt_command_line.sh BREVALT VERSION [EMULATOR...]: the program as a
# shell sees it (run through EMULATOR, qemu-user, in a cross build).
# --version and --help answer on stdout without a display; no display, a
# display that cannot be opened, a missing file and an unknown option each
# give one line of brevalt's own on stderr and status 2 (an unknown option
# is named even without a display).
brevalt=$1 version=$2
shift 2
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
fail() { echo "FAIL: $*"; exit 1; }
refused() {
  err=$("$@" 2>&1 >/dev/null)
  status=$?
  lines=$(printf '%s\n' "$err" | grep -c '^brevalt: ')
  [ "$status" -eq 2 ] && [ "$lines" -eq 1 ] || fail "$*: $status $err"
}
unknown() {
  refused "$@"
  case $err in *"unknown option"*) ;; *) fail "$*: $err" ;; esac
}
[ "$("$@" "$brevalt" --version)" = "brevalt $version" ] || fail "--version"
[ "$("$@" "$brevalt" -V)" = "brevalt $version" ] || fail "-V"
"$@" "$brevalt" --help | grep -q '^usage: brevalt \[FILE\]$' || fail "--help"
refused "$@" "$brevalt"
refused env DISPLAY=:9999 "$@" "$brevalt"
refused env QT_QPA_PLATFORM=offscreen "$@" "$brevalt" /nonexistent/a_1_2.tbs.bidx
unknown "$@" "$brevalt" --bogus
unknown "$@" "$brevalt" a_1_2.tbs.bidx --bogus
echo "command line: all passed"
