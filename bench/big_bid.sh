#!/bin/sh
# One large bid verified by brevalt-cli against `openssl dgst -sha256` of the
# same file, in the same run: the verification should read and digest the
# file about once. For a bid of MIB MiB (default 1024), each line gives the
# mean CPU (user + system) and wall time over ROUNDS runs (default 3) and its
# ratio to openssl's, measured interleaved (ours, openssl, ours, openssl...)
# so that a change in the machine's load falls on both alike:
#   - an RSA bid, --summary --no-rules --no-log;
#   - the same bid, --json --no-rules --no-log;
#   - an SM2 bid, --summary --no-rules --no-log (SM3 is a second algorithm
#     over the same read, so this ratio is reported, not held to a target);
# then the peak memory (maximum resident set) of the RSA verification and the
# load average before and after.
# Usage: bench/big_bid.sh BUILD_DIR [MIB] [ROUNDS]
# BUILD_DIR holds tools/bidx/bidx, tools/devserver/devserver and
# src/cli/brevalt-cli (use the release preset). The files go to
# $BREVALT_BENCH_DIR (default /tmp) and are removed at the end; a devserver on
# a free loopback port gives the trusted time and is stopped at the end.
set -eu
build=${1:?usage: big_bid.sh BUILD_DIR [MIB] [ROUNDS]}
mib=${2:-1024}
rounds=${3:-3}
cli=$build/src/cli/brevalt-cli
bidx=$build/tools/bidx/bidx
work=$(mktemp -d "${BREVALT_BENCH_DIR:-/tmp}/brevalt-big-XXXXXX")
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
echo "cores: $(nproc), load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

# An RSA and an SM2 bidder, each sealing the same payload.
openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Big RSA Bidder" \
  -keyout "$work/rsa.key" -out "$work/rsa.pem" 2>/dev/null
openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:SM2 -out "$work/sm2.key" 2>/dev/null
openssl req -x509 -new -key "$work/sm2.key" -sm3 -sigopt distid:1234567812345678 -days 30 \
  -subj "/CN=Big SM2 Bidder" -out "$work/sm2.pem" 2>/dev/null
head -c "$((mib * 1024 * 1024))" /dev/urandom > "$work/payload.bin"
for kind in rsa sm2; do
  "$bidx" seal --out "$work/${kind}_P1_1.tbs.bidx" --signer-cert "$work/$kind.pem" \
    --signer-key "$work/$kind.key" --payload "$work/payload.bin" > /dev/null
done
rm -f "$work/payload.bin"

. "$(dirname "$0")/bench_devserver.sh"

# timed FILE COMMAND...: appends "wall cpu" in seconds of one run to FILE;
# the command must succeed.
timed() {
  out=$1
  shift
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" > /dev/null 2>&1
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$work/time" >> "$out"
}
mean() { awk '{ w += $1; c += $2 } END { printf "%.2f %.2f", w / NR, c / NR }' "$1"; }

# compare LABEL BID OPTION...: brevalt-cli OPTION... BID against openssl.
compare() {
  label=$1
  bid=$2
  shift 2
  rm -f "$work/ours" "$work/openssl"
  "$cli" "$@" "$bid" > /dev/null 2>&1  # warms the page cache; the bid must pass
  i=0
  while [ "$i" -lt "$rounds" ]; do
    timed "$work/ours" "$cli" "$@" "$bid"
    timed "$work/openssl" openssl dgst -sha256 "$bid"
    i=$((i + 1))
  done
  set -- $(mean "$work/ours") $(mean "$work/openssl")
  awk -v l="$label" -v ow="$1" -v oc="$2" -v sw="$3" -v sc="$4" 'BEGIN {
    printf "%s: CPU %.2f s vs %.2f s (%.2fx), wall %.2f s vs %.2f s (%.2fx)\n",
      l, oc, sc, oc / sc, ow, sw, ow / sw }'
}

echo "bid of $mib MiB, mean of $rounds interleaved runs each, brevalt-cli vs openssl dgst -sha256:"
compare "RSA --summary" "$work/rsa_P1_1.tbs.bidx" --summary --no-rules --no-log
compare "RSA --json" "$work/rsa_P1_1.tbs.bidx" --json --no-rules --no-log
compare "SM2 --summary" "$work/sm2_P1_1.tbs.bidx" --summary --no-rules --no-log
peak=$(/usr/bin/time -f '%M' "$cli" --summary --no-rules --no-log "$work/rsa_P1_1.tbs.bidx" \
  2>&1 >/dev/null | tail -n 1)
echo "peak memory of the RSA verification: $peak KiB"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
