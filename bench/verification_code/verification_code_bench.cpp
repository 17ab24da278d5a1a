// The verification code of a bid file compared with one plain OpenSSL SHA-256
// pass over the same file, both from the page cache (see
// support/bench_files.h for the file's size and folder). The file is deleted
// at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bid/verification_code.h"
#include "config/text_convert.h"
#include "support/bench_files.h"

namespace {

namespace bench = brevalt::bench;

std::string g_path;

void BM_PlainSha256(benchmark::State& state) {
  bench::RunPlainSha256(state, g_path);
}

void BM_VerificationCode(benchmark::State& state) {
  const std::u16string path = brevalt::Utf8ToWide(g_path);
  for (auto _ : state) {
    brevalt::CVerifyResult result;
    if (brevalt::ComputeVerificationCode(path, result) != 0) {
      state.SkipWithError("verification code failed");
      break;
    }
    benchmark::DoNotOptimize(result.VerifyCode);
  }
  state.SetBytesProcessed(state.iterations() * bench::FileSize(g_path));
}

BENCHMARK(BM_PlainSha256)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_VerificationCode)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const long mib = bench::BenchMib();
  g_path = bench::BenchPath("brevalt-bench-code.bidx");
  if (mib <= 0 || !bench::WriteVariedFile(g_path, mib)) {
    std::fprintf(stderr, "verification_code_bench: cannot write %s\n", g_path.c_str());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(g_path);
  return 0;
}
