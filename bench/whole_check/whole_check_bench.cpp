// A whole bid check of a sealed bid (verification code, then container and
// signature, as the check without rules file runs them) compared with one
// plain OpenSSL SHA-256 pass over the same file, side by side, both from the
// page cache. The bid (1 GiB payload by default) is made in
// $BREVALT_BENCH_DIR (default /tmp) and deleted at the end; its payload size
// in MiB can be changed with $BREVALT_BENCH_MIB.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/text_convert.h"
#include "engine/check_without_rules.h"
#include "platform/memory_dialog.h"
#include "tavik/secretfile/container_writer.h"
#include "tools/bidx/ephemeral_signer.h"
#include "tools/bidx/key_files.h"

namespace {

std::string g_bid_path;

std::string EnvOr(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

bool WritePayload(const std::string& path, long mib) {
  std::unique_ptr<FILE, decltype(&std::fclose)> out(std::fopen(path.c_str(), "wb"), &std::fclose);
  std::vector<unsigned char> block(1024 * 1024);
  std::uint32_t state = 2463534242u;
  for (long i = 0; out && i < mib; ++i) {
    for (unsigned char& byte : block) {
      state ^= state << 13, state ^= state >> 17, state ^= state << 5;
      byte = static_cast<unsigned char>(state);
    }
    if (std::fwrite(block.data(), 1, block.size(), out.get()) != block.size())
      return false;
  }
  return out && std::fclose(out.release()) == 0;
}

bool MakeBid(const std::string& dir, long mib) {
  namespace bidx = brevalt::bidx;
  const std::string payload = dir + "/brevalt-bench-check-payload.bin";
  g_bid_path = dir + "/brevalt-bench-check.bidx";
  const bidx::Signer signer = bidx::MakeSelfSignedSigner(bidx::KeyKind::kEcP256, "bench", 1);
  brevalt::container::SealInput input;
  input.payload_path = payload;
  input.certificate = bidx::CertificateDer(signer.cert.get());
  input.signing_cert = signer.cert.get();
  input.signing_key = signer.key.get();
  const bool ok =
      WritePayload(payload, mib) && brevalt::container::SealContainer(g_bid_path, input) == 0;
  std::filesystem::remove(payload);
  return ok;
}

std::int64_t FileSize() {
  return static_cast<std::int64_t>(std::filesystem::file_size(g_bid_path));
}

// The baseline: read(2) in 64 KiB blocks straight into EVP.
void BM_PlainSha256(benchmark::State& state) {
  std::vector<unsigned char> buffer(64 * 1024);
  unsigned char digest[EVP_MAX_MD_SIZE];
  for (auto _ : state) {
    const int fd = open(g_bid_path.c_str(), O_RDONLY);
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> md(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    EVP_DigestInit_ex(md.get(), EVP_sha256(), nullptr);
    for (ssize_t n; (n = read(fd, buffer.data(), buffer.size())) > 0;)
      EVP_DigestUpdate(md.get(), buffer.data(), static_cast<size_t>(n));
    close(fd);
    EVP_DigestFinal_ex(md.get(), digest, nullptr);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * FileSize());
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
  state.SetBytesProcessed(state.iterations() * FileSize());
}

// Wall-clock time: the check may use a second thread.
BENCHMARK(BM_PlainSha256)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WholeCheck)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const long mib = std::strtol(EnvOr("BREVALT_BENCH_MIB", "1024").c_str(), nullptr, 10);
  if (mib <= 0 || !MakeBid(EnvOr("BREVALT_BENCH_DIR", "/tmp"), mib)) {
    std::fprintf(stderr, "whole_check_bench: cannot make the test bid\n");
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(g_bid_path);
  return 0;
}
