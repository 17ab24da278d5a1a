// Verifying a sealed bid compared with one plain SHA-256 pass over the same
// file, both from the page cache. The bid (1 GiB payload by default) is made
// in $BREVALT_BENCH_DIR (default /tmp) and deleted at the end; its size in
// MiB can be changed with $BREVALT_BENCH_MIB.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tavik/secretfile/container_writer.h"
#include "tavik/secretfile/file_input.h"
#include "tavik/tavik_secret_file.h"
#include "tools/bidx/ephemeral_signer.h"
#include "tools/bidx/key_files.h"

namespace {

namespace cnt = brevalt::container;

std::string g_bid_path;

std::string EnvOr(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

// Writes `mib` MiB of varied bytes to `path`.
bool WritePayload(const std::string& path, long mib) {
  cnt::UniqueFile out(std::fopen(path.c_str(), "wb"));
  std::vector<unsigned char> block(1024 * 1024);
  std::uint32_t state = 2463534242u;
  for (long i = 0; out && i < mib; ++i) {
    for (unsigned char& byte : block) {
      state ^= state << 13, state ^= state >> 17, state ^= state << 5;
      byte = static_cast<unsigned char>(state);
    }
    if (std::fwrite(block.data(), 1, block.size(), out.get()) != block.size()) {
      return false;
    }
  }
  return out && std::fclose(out.release()) == 0;
}

bool MakeBid(const std::string& dir, long mib) {
  const std::string payload = dir + "/brevalt-bench-payload.bin";
  g_bid_path = dir + "/brevalt-bench.bidx";
  const brevalt::bidx::Signer signer =
      brevalt::bidx::MakeSelfSignedSigner(brevalt::bidx::KeyKind::kEcP256, "bench", 1);
  cnt::SealInput input;
  input.payload_path = payload;
  input.certificate = brevalt::bidx::CertificateDer(signer.cert.get());
  input.signing_cert = signer.cert.get();
  input.signing_key = signer.key.get();
  const bool ok = WritePayload(payload, mib) && cnt::SealContainer(g_bid_path, input) == 0;
  std::filesystem::remove(payload);
  return ok;
}

std::int64_t FileSize() {
  return static_cast<std::int64_t>(std::filesystem::file_size(g_bid_path));
}

void BM_PlainSha256(benchmark::State& state) {
  std::vector<unsigned char> buffer(cnt::kIoBufferSize);
  unsigned char digest[EVP_MAX_MD_SIZE];
  for (auto _ : state) {
    std::uint64_t size = 0;
    cnt::UniqueFile file = cnt::OpenRegularFile(g_bid_path, &size);
    cnt::UniqueMdCtx md(EVP_MD_CTX_new());
    EVP_DigestInit_ex(md.get(), EVP_sha256(), nullptr);
    cnt::StreamBytes(file.get(), size, buffer, [&](const unsigned char* d, std::size_t n) {
      return EVP_DigestUpdate(md.get(), d, n) == 1;
    });
    EVP_DigestFinal_ex(md.get(), digest, nullptr);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * FileSize());
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
  state.SetBytesProcessed(state.iterations() * FileSize());
}

BENCHMARK(BM_PlainSha256)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ContainerVerify)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const long mib = std::strtol(EnvOr("BREVALT_BENCH_MIB", "1024").c_str(), nullptr, 10);
  if (mib <= 0 || !MakeBid(EnvOr("BREVALT_BENCH_DIR", "/tmp"), mib)) {
    std::fprintf(stderr, "container_bench: cannot make the test bid\n");
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(g_bid_path);
  return 0;
}
