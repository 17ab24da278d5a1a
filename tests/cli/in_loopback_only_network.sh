#!/bin/sh
# For an empty network namespace: brings loopback up (else exits 77), starts
# the devserver there, writes Setting.ini naming its two services, runs the
# command and exits with its status.
# usage: in_loopback_only_network.sh DEVSERVER ROOT CA_FILE SETTINGS WORK_DIR COMMAND...
# BREVALT_EMULATOR, when set, is the command that runs DEVSERVER (qemu-user).
devserver=$1 root=$2 ca=$3 settings=$4 work=$5
shift 5
ip link set lo up 2>/dev/null || exit 77
fifo=$(mktemp -u) && mkfifo "$fifo" || exit 77
${BREVALT_EMULATOR-} "$devserver" --root "$root" --write-ca "$ca" >"$fifo" 2>/dev/null &
read -r port <"$fifo" || exit 78
rm -f "$fifo"
printf '[WorkingDir]\npath=%s\n[BidRuleFileURL]\nurl=http://127.0.0.1:%s/rules\n' "$work" "$port" \
  >"$settings"
printf '[TimeStampURL]\nurl=http://localhost:%s/tsa\n' "$port" >>"$settings"
"$@"
status=$?
kill $!; wait
exit "$status"
