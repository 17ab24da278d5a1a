// What the benchmarks share: their large input files and the baseline they
// are measured against (one plain OpenSSL SHA-256 pass over the same file).
// Files are made in $BREVALT_BENCH_DIR (default /tmp); their size in MiB is
// $BREVALT_BENCH_MIB (default 1024).
#ifndef BREVALT_BENCH_SUPPORT_BENCH_FILES_H
#define BREVALT_BENCH_SUPPORT_BENCH_FILES_H

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace brevalt::bench {

// $BREVALT_BENCH_DIR + "/" + name.
std::string BenchPath(const std::string& name);
// $BREVALT_BENCH_MIB; 0 or less when it is not a positive number.
long BenchMib();

// Writes `mib` MiB of varied (not compressible) bytes to path.
bool WriteVariedFile(const std::string& path, long mib);
// Seals a bid at bid_path around a payload of `mib` MiB, signed by a fresh
// self-signed EC P-256 key; the payload file is removed afterwards.
bool MakeSealedBid(const std::string& bid_path, long mib);

std::int64_t FileSize(const std::string& path);

// The baseline: read(2) in 64 KiB blocks straight into EVP SHA-256, once per
// iteration; reports the bytes processed.
void RunPlainSha256(benchmark::State& state, const std::string& path);

}  // namespace brevalt::bench

#endif  // BREVALT_BENCH_SUPPORT_BENCH_FILES_H
