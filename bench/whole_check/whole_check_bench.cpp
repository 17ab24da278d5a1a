// A whole bid check of a sealed bid (container and signature in one read,
// whose digest is the verification code, as the check without rules file
// runs them) compared with one
// plain OpenSSL SHA-256 pass over the same file, side by side, both from the
// page cache (see support/bench_files.h for the bid's size and folder). The
// bid is deleted at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "config/text_convert.h"
#include "engine/check_without_rules.h"
#include "platform/memory_dialog.h"
#include "support/bench_files.h"

namespace {

namespace bench = brevalt::bench;

std::string g_bid_path;

void BM_PlainSha256(benchmark::State& state) {
  bench::RunPlainSha256(state, g_bid_path);
}

void BM_WholeCheck(benchmark::State& state) {
  for (auto _ : state) {
    brevalt::CVerifyResult result;
    brevalt::MemoryDialog dialog;
    result.BidPath = brevalt::Utf8ToWide(g_bid_path);
    if (brevalt::CheckBidWithoutRules(result, dialog) != brevalt::kBidCheckPassed) {
      state.SkipWithError("the bid check failed");
      break;
    }
    benchmark::DoNotOptimize(result.VerifyCode);
  }
  state.SetBytesProcessed(state.iterations() * bench::FileSize(g_bid_path));
}

// Wall-clock time, as a person waits for it.
BENCHMARK(BM_PlainSha256)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WholeCheck)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const long mib = bench::BenchMib();
  g_bid_path = bench::BenchPath("brevalt-bench-check.bidx");
  if (mib <= 0 || !bench::MakeSealedBid(g_bid_path, mib)) {
    std::fprintf(stderr, "whole_check_bench: cannot make the test bid %s\n", g_bid_path.c_str());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(g_bid_path);
  return 0;
}
