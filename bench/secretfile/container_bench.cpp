// Verifying a sealed bid compared with one plain SHA-256 pass over the same
// file, both from the page cache (see support/bench_files.h for the bid's
// size and folder). The bid is deleted at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/bench_files.h"
#include "tavik/tavik_secret_file.h"

namespace {

namespace bench = brevalt::bench;

std::string g_bid_path;

void BM_PlainSha256(benchmark::State& state) {
  bench::RunPlainSha256(state, g_bid_path);
}

void BM_ContainerVerify(benchmark::State& state) {
  for (auto _ : state) {
    CTavikFileDecryptor* handle = nullptr;
    int rc = TavikSecretFileDecryptorCreateHandle(&handle, g_bid_path.c_str());
    rc = rc != 0 ? rc : TavikSecretFileDecryptorVerify(handle);
    TavikSecretFileDecryptorReleaseHandle(handle);
    if (rc != 0) {
      state.SkipWithError("verification failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * bench::FileSize(g_bid_path));
}

BENCHMARK(BM_PlainSha256)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ContainerVerify)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const long mib = bench::BenchMib();
  g_bid_path = bench::BenchPath("brevalt-bench.bidx");
  if (mib <= 0 || !bench::MakeSealedBid(g_bid_path, mib)) {
    std::fprintf(stderr, "container_bench: cannot make the test bid %s\n", g_bid_path.c_str());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(g_bid_path);
  return 0;
}
