#include "tools/bidx/key_files.h"

#include <openssl/decoder.h>
#include <openssl/err.h>
#include <openssl/pem.h>

#include <cstdio>

#include "tavik/secretfile/file_input.h"

namespace brevalt::bidx {

namespace {
constexpr std::size_t kMaxKeyFile = 1024 * 1024;
}  // namespace

bool ReadSmallFile(const std::string& path, std::size_t limit, std::vector<unsigned char>* bytes) {
  std::uint64_t size = 0;
  container::UniqueFile file = container::OpenRegularFile(path, &size);
  if (!file || size > limit) {
    return false;
  }
  bytes->resize(static_cast<std::size_t>(size));
  return container::ReadExactly(file.get(), bytes->data(), bytes->size());
}

container::UniqueX509 LoadCertificate(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (!ReadSmallFile(path, kMaxKeyFile, &bytes) || bytes.empty()) {
    return nullptr;
  }
  container::UniqueBio bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
  container::UniqueX509 cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
  if (!cert) {
    const unsigned char* p = bytes.data();
    cert.reset(d2i_X509(nullptr, &p, static_cast<long>(bytes.size())));
  }
  ERR_clear_error();
  return cert;
}

container::UniqueKey LoadPrivateKey(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (!ReadSmallFile(path, kMaxKeyFile, &bytes) || bytes.empty()) {
    return nullptr;
  }
  EVP_PKEY* key = nullptr;
  OSSL_DECODER_CTX* ctx = OSSL_DECODER_CTX_new_for_pkey(
      &key, nullptr, nullptr, nullptr, OSSL_KEYMGMT_SELECT_PRIVATE_KEY, nullptr, nullptr);
  const unsigned char* data = bytes.data();
  std::size_t left = bytes.size();
  if (ctx != nullptr) {
    OSSL_DECODER_from_data(ctx, &data, &left);
    OSSL_DECODER_CTX_free(ctx);
  }
  ERR_clear_error();
  return container::UniqueKey(key);
}

std::vector<unsigned char> CertificateDer(X509* cert) {
  const int size = i2d_X509(cert, nullptr);
  if (size <= 0) {
    return {};
  }
  std::vector<unsigned char> der(static_cast<std::size_t>(size));
  unsigned char* p = der.data();
  if (i2d_X509(cert, &p) != size) {
    return {};
  }
  return der;
}

}  // namespace brevalt::bidx
