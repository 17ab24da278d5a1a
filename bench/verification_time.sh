#!/bin/sh
# Time and requests of whole verifications in brevalt-cli against local
# services on loopback, with the rules file checked and the log written:
#   - one small bid in one process: CPU (user + system) and wall time, the
#     mean of RUNS processes (default 20);
#   - the same without receipts (--no-receipt), which saves one request;
#   - the part of that CPU time that any brevalt-cli process costs, starting
#     and ending (--version): mostly loading libcurl's and OpenSSL's shared
#     libraries, which no change of ours can save;
#   - a batch of 20 small bids in one process: wall and CPU time (mean of 3),
#     with and without receipts;
#   - the time-stamp requests one verification makes, as the authority
#     counts them (devserver GET /tsa/requests), without and with a receipt;
#   - time to the verdict with TimeStampURL "slow; good" and
#     "slow; slow; slow; good" (slow: an authority that never answers in
#     time).
# Usage: bench/verification_time.sh BUILD_DIR [RUNS]
# BUILD_DIR holds tools/bidx/bidx, tools/devserver/devserver and
# src/cli/brevalt-cli (use the release preset); $BREVALT_CLI, when set, names
# another brevalt-cli to measure with the same tools. The files go to
# $BREVALT_BENCH_DIR (default /tmp) and are removed at the end; the devservers
# (one good authority with the rules service, three slow authorities) listen on
# free loopback ports and are stopped at the end.
set -eu
build=${1:?usage: verification_time.sh BUILD_DIR [RUNS]}
runs=${2:-20}
cli=${BREVALT_CLI:-$build/src/cli/brevalt-cli}
work=$(mktemp -d "${BREVALT_BENCH_DIR:-/tmp}/brevalt-time-XXXXXX")
servers=
cleanup() {
  for pid in $servers; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

. "$(dirname "$0")/bench_project.sh"
i=1
while [ "$i" -le 20 ]; do
  "$build/tools/bidx/bidx" seal --out "$work/bids/bid$i""_P1_1.tbs.bidx" \
    --signer-cert "$work/bidder.pem" --signer-key "$work/bidder.key" \
    --payload "$work/payload.bin" --rules "$work/root/rules/P1.xml" > /dev/null
  i=$((i + 1))
done
one=$work/bids/bid1_P1_1.tbs.bidx

# start NAME OPTION...: a devserver on a free port; its port in $port.
start() {
  name=$1
  shift
  "$build/tools/devserver/devserver" --port 0 --write-ca "$config/trust/tsa/$name.pem" "$@" \
    > "$work/$name.port" 2>/dev/null &
  servers="$servers $!"
  while [ ! -s "$work/$name.port" ]; do sleep 0.05; done
  port=$(head -n 1 "$work/$name.port")
}
start good --root "$work/root"
good=$port
start slow1 --delay-ms 600000
slow1=$port
start slow2 --delay-ms 600000
slow2=$port
start slow3 --delay-ms 600000
slow3=$port

# settings TSA_URLS: Setting.ini with these authorities and the good rules service.
settings() {
  printf '[WorkingDir]\npath=%s/\n[BidRuleFileURL]\nurl=http://127.0.0.1:%s/rules\n[TimeStampURL]\nurl=%s\n' \
    "$work/working" "$good" "$1" > "$config/Setting.ini"
}
tsa() { printf 'http://127.0.0.1:%s/tsa' "$1"; }
settings "$(tsa "$good")"

# measure FILE...: "wall user system" seconds of one brevalt-cli run, which must pass.
measure() {
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$cli" "$@" > /dev/null 2>&1
  cat "$work/time"
}
# mean N FILE...: "wall cpu" in milliseconds per run, the mean of N runs
# (time counts the CPU of every run, so the figure is finer than one run's).
mean() {
  n=$1
  shift
  /usr/bin/time -f '%e %U %S' -o "$work/time" sh -c '
    n=$1; cli=$2; shift 2; i=0
    while [ "$i" -lt "$n" ]; do "$cli" "$@" > /dev/null 2>&1 || exit 1; i=$((i + 1)); done
  ' sh "$n" "$cli" "$@"
  awk -v n="$n" '{ printf "%.1f %.1f\n", $1 * 1000 / n, ($2 + $3) * 1000 / n }' "$work/time"
}

measure "$one" > /dev/null  # warms the page cache; fails the script if the bid does not pass
set -- $(mean "$runs" "$one")
echo "one bid with the rules file: wall $1 ms, CPU $2 ms (mean of $runs processes)"
set -- $(mean "$runs" --no-receipt "$one")
echo "the same without a receipt: wall $1 ms, CPU $2 ms"
set -- $(mean "$runs" --version)
echo "of which any brevalt-cli process (--version): wall $1 ms, CPU $2 ms"
set -- $(mean 3 "$work"/bids/*.bidx)
echo "batch of 20 bids in one process: wall $1 ms, CPU $2 ms (mean of 3)"
set -- $(mean 3 --no-receipt "$work"/bids/*.bidx)
echo "the same without receipts: wall $1 ms, CPU $2 ms"

requests() { curl -s "http://127.0.0.1:$good/tsa/requests"; }
before=$(requests)
measure --no-receipt "$one" > /dev/null
middle=$(requests)
measure "$one" > /dev/null
echo "time-stamp requests per verification: $((middle - before)), with its receipt $(($(requests) - middle))"

# verdict FILE: the wall time of one run and whether the bid passed.
verdict() {
  outcome=passed
  /usr/bin/time -f '%e' -o "$work/time" "$cli" "$@" > /dev/null 2>&1 || outcome="did not pass"
  echo "$(tail -n 1 "$work/time") s to the verdict, $outcome"
}
settings "$(tsa "$slow1");$(tsa "$good")"
echo "slow; good: $(verdict "$one")"
settings "$(tsa "$slow1");$(tsa "$slow2");$(tsa "$slow3");$(tsa "$good")"
echo "slow; slow; slow; good: $(verdict "$one")"
