#!/bin/sh
# Peak memory (maximum resident set size) of `bidx seal` and `bidx inspect`
# on a bid with a large payload. Usage: bench/peak_memory.sh BIDX [MIB]
# The files go to $BREVALT_BENCH_DIR (default /tmp) and are removed at the end.
set -eu
bidx=${1:?usage: peak_memory.sh path/to/bidx [MiB]}
mib=${2:-1024}
work=$(mktemp -d "${BREVALT_BENCH_DIR:-/tmp}/brevalt-peak-XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 30 \
  -subj "/CN=peak memory" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
head -c "$((mib * 1024 * 1024))" /dev/urandom > "$work/payload.bin"

peak() {  # prints the maximum RSS in KiB of the command that follows
  /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'
}
seal_kib=$(peak "$bidx" seal --out "$work/bid.bidx" --signer-cert "$work/cert.pem" \
  --signer-key "$work/key.pem" --payload "$work/payload.bin")
rm -f "$work/payload.bin"
"$bidx" inspect "$work/bid.bidx" >/dev/null   # fails the script if it does not verify
inspect_kib=$(peak "$bidx" inspect "$work/bid.bidx")
echo "payload ${mib} MiB: bidx seal max RSS ${seal_kib} KiB, bidx inspect max RSS ${inspect_kib} KiB"
