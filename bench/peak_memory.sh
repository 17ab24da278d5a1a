#!/bin/sh
# Peak memory (maximum resident set size) of `bidx seal`, `bidx inspect` and
# `brevalt-cli` (a whole verification without the rules service) on a bid
# with a large payload. Usage: bench/peak_memory.sh BUILD_DIR [MIB]
# BUILD_DIR holds tools/bidx/bidx, tools/devserver/devserver and
# src/cli/brevalt-cli. The files go to $BREVALT_BENCH_DIR (default /tmp) and
# are removed at the end; a devserver on a free loopback port gives the
# trusted time and is stopped at the end.
set -eu
build=${1:?usage: peak_memory.sh BUILD_DIR [MiB]}
mib=${2:-1024}
bidx=$build/tools/bidx/bidx
work=$(mktemp -d "${BREVALT_BENCH_DIR:-/tmp}/brevalt-peak-XXXXXX")
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 30 \
  -subj "/CN=peak memory" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
head -c "$((mib * 1024 * 1024))" /dev/urandom > "$work/payload.bin"

peak() {  # prints the maximum RSS in KiB of the command that follows
  /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'
}
bid=$work/peak_P1_1.tbs.bidx
seal_kib=$(peak "$bidx" seal --out "$bid" --signer-cert "$work/cert.pem" \
  --signer-key "$work/key.pem" --payload "$work/payload.bin")
rm -f "$work/payload.bin"
"$bidx" inspect "$bid" >/dev/null   # fails the script if it does not verify
inspect_kib=$(peak "$bidx" inspect "$bid")

# brevalt-cli needs a trusted time before it reads the bid.
. "$(dirname "$0")/bench_devserver.sh"
"$build/src/cli/brevalt-cli" --no-rules --no-log "$bid" > /dev/null 2>&1  # must pass
cli_kib=$(peak "$build/src/cli/brevalt-cli" --no-rules --no-log "$bid")
echo "payload ${mib} MiB: max RSS bidx seal ${seal_kib} KiB, bidx inspect ${inspect_kib} KiB," \
  "brevalt-cli ${cli_kib} KiB"
