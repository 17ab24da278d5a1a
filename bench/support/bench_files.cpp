#include "support/bench_files.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "tavik/secretfile/container_writer.h"
#include "tools/bidx/ephemeral_signer.h"
#include "tools/bidx/key_files.h"

namespace brevalt::bench {
namespace {

std::string EnvOr(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

}  // namespace

std::string BenchPath(const std::string& name) {
  return EnvOr("BREVALT_BENCH_DIR", "/tmp") + "/" + name;
}

long BenchMib() {
  return std::strtol(EnvOr("BREVALT_BENCH_MIB", "1024").c_str(), nullptr, 10);
}

bool WriteVariedFile(const std::string& path, long mib) {
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

bool MakeSealedBid(const std::string& bid_path, long mib) {
  const std::string payload = bid_path + ".payload";
  const bidx::Signer signer = bidx::MakeSelfSignedSigner(bidx::KeyKind::kEcP256, "bench", 1);
  container::SealInput input;
  input.payload_path = payload;
  input.certificate = bidx::CertificateDer(signer.cert.get());
  input.signing_cert = signer.cert.get();
  input.signing_key = signer.key.get();
  const bool ok = WriteVariedFile(payload, mib) && container::SealContainer(bid_path, input) == 0;
  std::filesystem::remove(payload);
  return ok;
}

std::int64_t FileSize(const std::string& path) {
  return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

void RunPlainSha256(benchmark::State& state, const std::string& path) {
  std::vector<unsigned char> buffer(64 * 1024);
  unsigned char digest[EVP_MAX_MD_SIZE];
  for (auto _ : state) {
    const int fd = open(path.c_str(), O_RDONLY);
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> md(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    EVP_DigestInit_ex(md.get(), EVP_sha256(), nullptr);
    for (ssize_t n; (n = read(fd, buffer.data(), buffer.size())) > 0;)
      EVP_DigestUpdate(md.get(), buffer.data(), static_cast<size_t>(n));
    close(fd);
    EVP_DigestFinal_ex(md.get(), digest, nullptr);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * FileSize(path));
}

}  // namespace brevalt::bench
