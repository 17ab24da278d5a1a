#!/bin/sh
# Forty small bids of one project verified against local services on
# loopback, rules file checked, logs and receipts written:
#   - through brevalt-cli in one process (wall time, mean of 3);
#   - through the many-bids window (brevalt_batch_bench, offscreen): wall time
#     from "开始" to the last row and the table's repaints per second.
# Of the forty, 36 are good, 3 have one byte flipped and 1 is named against
# the rule, so the table shows verdicts of every kind.
# Usage: bench/batch_time.sh BUILD_DIR [SHOT_DIR]
# BUILD_DIR holds tools/bidx/bidx, tools/devserver/devserver,
# src/cli/brevalt-cli and bench/batch_window/brevalt_batch_bench (use the
# release preset). With SHOT_DIR the window's run is drawn once more, on a
# 1366×768 Xvfb screen when xvfb-run is installed, into
# SHOT_DIR/batch-window.png, and its summary exported to
# SHOT_DIR/batch-summary.pdf. Files go to $BREVALT_BENCH_DIR (default /tmp)
# and are removed at the end, the devserver with them.
set -eu
build=${1:?usage: batch_time.sh BUILD_DIR [SHOT_DIR]}
shots=${2:-}
cli=$build/src/cli/brevalt-cli
window=$build/bench/batch_window/brevalt_batch_bench
work=$(mktemp -d "${BREVALT_BENCH_DIR:-/tmp}/brevalt-batch-XXXXXX")
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

. "$(dirname "$0")/bench_project.sh"
i=1
while [ "$i" -le 40 ]; do
  name=$(printf 'bid%02d_P1_1.tbs.bidx' "$i")
  [ "$i" -eq 40 ] && name=bid40-P1-1.tbs.bidx  # against the name rule
  "$build/tools/bidx/bidx" seal --out "$work/bids/$name" \
    --signer-cert "$work/bidder.pem" --signer-key "$work/bidder.key" \
    --payload "$work/payload.bin" --rules "$work/root/rules/P1.xml" > /dev/null
  i=$((i + 1))
done
for i in 07 19 33; do  # one byte flipped in the middle
  python3 -c 'import sys; p=sys.argv[1]; b=bytearray(open(p,"rb").read()); b[len(b)//2]^=1; open(p,"wb").write(b)' \
    "$work/bids/bid${i}_P1_1.tbs.bidx"
done

"$build/tools/devserver/devserver" --port 0 --write-ca "$config/trust/tsa/devserver.pem" \
  --root "$work/root" > "$work/port" 2>/dev/null &
server=$!
while [ ! -s "$work/port" ]; do sleep 0.05; done
port=$(head -n 1 "$work/port")
printf '[WorkingDir]\npath=%s/\n[BidRuleFileURL]\nurl=http://127.0.0.1:%s/rules\n[TimeStampURL]\nurl=http://127.0.0.1:%s/tsa\n' \
  "$work/working" "$port" "$port" > "$config/Setting.ini"

"$cli" --summary "$work"/bids/*.bidx > /dev/null 2>&1 || true  # warms the page cache
/usr/bin/time -f '%e' -o "$work/time" sh -c '
  cli=$1; shift; for run in 1 2 3; do "$cli" --summary "$@" > /dev/null 2>&1; done; true
' sh "$cli" "$work"/bids/*.bidx
awk '{ printf "brevalt-cli: 40 bids, wall %.0f ms (mean of 3 processes)\n", $1 * 1000 / 3 }' "$work/time"
for run in 1 2 3; do
  QT_QPA_PLATFORM=offscreen "$window" "$work/bids" 2>/dev/null
done

if [ -n "$shots" ]; then
  mkdir -p "$shots"
  set -- "$window" "$work/bids" --screenshot "$shots/batch-window.png" --pdf "$shots/batch-summary.pdf"
  if command -v xvfb-run > /dev/null; then
    xvfb-run -a -s '-screen 0 1366x768x24' "$@" 2>/dev/null
  else
    QT_QPA_PLATFORM=offscreen "$@" 2>/dev/null
  fi
fi
