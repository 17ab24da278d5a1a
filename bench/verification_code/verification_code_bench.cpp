// The verification code of a bid file compared with one plain OpenSSL SHA-256
// pass over the same file, both from the page cache. The file (1 GiB by
// default) is made in $BREVALT_BENCH_DIR (default /tmp) and deleted at the
// end; its size in MiB can be changed with $BREVALT_BENCH_MIB.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bid/verification_code.h"
#include "config/text_convert.h"

namespace {

std::string g_path;

std::string EnvOr(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

bool WriteFile(const std::string& path, long mib) {
  std::ofstream out(path, std::ios::binary);
  std::vector<char> block(1024 * 1024);
  std::uint32_t state = 2463534242u;
  for (long i = 0; out && i < mib; ++i) {
    for (char& byte : block) {
      state ^= state << 13, state ^= state >> 17, state ^= state << 5;
      byte = static_cast<char>(state);
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  return static_cast<bool>(out);
}

int64_t FileSize() {
  return static_cast<int64_t>(std::filesystem::file_size(g_path));
}

// The baseline: read(2) in 64 KiB blocks straight into EVP.
void BM_PlainSha256(benchmark::State& state) {
  std::vector<unsigned char> buffer(64 * 1024);
  unsigned char digest[EVP_MAX_MD_SIZE];
  for (auto _ : state) {
    const int fd = open(g_path.c_str(), O_RDONLY);
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> md(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    EVP_DigestInit_ex(md.get(), EVP_sha256(), nullptr);
    for (ssize_t n; (n = read(fd, buffer.data(), buffer.size())) > 0;) {
      EVP_DigestUpdate(md.get(), buffer.data(), static_cast<size_t>(n));
    }
    close(fd);
    EVP_DigestFinal_ex(md.get(), digest, nullptr);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * FileSize());
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
  state.SetBytesProcessed(state.iterations() * FileSize());
}

BENCHMARK(BM_PlainSha256)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_VerificationCode)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const long mib = std::strtol(EnvOr("BREVALT_BENCH_MIB", "1024").c_str(), nullptr, 10);
  g_path = EnvOr("BREVALT_BENCH_DIR", "/tmp") + "/brevalt-bench-code.bidx";
  if (mib <= 0 || !WriteFile(g_path, mib)) {
    std::fprintf(stderr, "verification_code_bench: cannot write %s\n", g_path.c_str());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(g_path);
  return 0;
}
