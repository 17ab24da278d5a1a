#include "tools/bidx/key_files.h"

#include <openssl/decoder.h>
#include <openssl/err.h>
#include <openssl/pem.h>

#include "platform/regular_file.h"
#include "tavik/secretfile/file_input.h"
#include "tavik/sm2/sm2_signature.h"

namespace brevalt::bidx {

namespace {

constexpr std::size_t kMaxKeyFile = 1024 * 1024;

// Decoder passphrase callback: notes that the key is encrypted and gives no
// passphrase (bidx never prompts).
int RefusePassphrase(char*, std::size_t, std::size_t*, const OSSL_PARAM*, void* asked) {
  *static_cast<bool*>(asked) = true;
  return 0;
}

}  // namespace

std::string WhyUnreadable(const std::string& path) {
  const std::string why = WhyNotReadable(path);
  return why.empty() ? "cannot be read" : why;  // it opens now
}

bool ReadSmallFile(const std::string& path, std::size_t limit, std::vector<unsigned char>* bytes,
                   std::string* why) {
  std::uint64_t size = 0;
  container::UniqueFile file = container::OpenRegularFile(path, &size);
  if (!file) {
    *why = WhyUnreadable(path);
    return false;
  }
  if (size > limit) {
    *why = "is larger than " + std::to_string(limit) + " bytes";
    return false;
  }
  bytes->resize(static_cast<std::size_t>(size));
  if (!container::ReadExactly(file.get(), bytes->data(), bytes->size())) {
    *why = "cannot be read (read error)";
    return false;
  }
  return true;
}

container::UniqueX509 LoadCertificate(const std::string& path, std::string* why) {
  std::vector<unsigned char> bytes;
  if (!ReadSmallFile(path, kMaxKeyFile, &bytes, why)) {
    return nullptr;
  }
  container::UniqueBio bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
  container::UniqueX509 cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
  if (!cert) {
    const unsigned char* p = bytes.data();
    cert.reset(d2i_X509(nullptr, &p, static_cast<long>(bytes.size())));
  }
  ERR_clear_error();
  if (!cert) {
    *why = "holds no certificate (PEM or DER expected)";
  }
  return cert;
}

container::UniqueKey LoadPrivateKey(const std::string& path, std::string* why) {
  std::vector<unsigned char> bytes;
  if (!ReadSmallFile(path, kMaxKeyFile, &bytes, why)) {
    return nullptr;
  }
  EVP_PKEY* key = nullptr;
  bool asked = false;
  OSSL_DECODER_CTX* ctx = OSSL_DECODER_CTX_new_for_pkey(
      &key, nullptr, nullptr, nullptr, OSSL_KEYMGMT_SELECT_PRIVATE_KEY, nullptr, nullptr);
  const unsigned char* data = bytes.data();
  std::size_t left = bytes.size();
  if (ctx != nullptr) {
    OSSL_DECODER_CTX_set_passphrase_cb(ctx, RefusePassphrase, &asked);
    OSSL_DECODER_from_data(ctx, &data, &left);
    OSSL_DECODER_CTX_free(ctx);
  }
  ERR_clear_error();
  if (key == nullptr) {
    *why = asked ? "is encrypted (bidx needs an unencrypted key)"
                 : "holds no private key (PEM or DER expected)";
  }
  return container::UniqueKey(key);
}

std::string WhyKeyUnusable(EVP_PKEY* key, X509* cert, const std::string& cert_path) {
  const int type = EVP_PKEY_get_base_id(key);
  if (type != EVP_PKEY_RSA && type != EVP_PKEY_EC && !sm2::IsSm2Key(key)) {
    const char* name = EVP_PKEY_get0_type_name(key);
    return std::string("holds an unsupported ") + (name != nullptr ? name : "unknown") +
           " key (bidx seals with RSA, EC or SM2 keys)";
  }
  const bool matches = X509_check_private_key(cert, key) == 1;
  ERR_clear_error();
  return matches ? std::string() : "does not belong to the certificate " + cert_path;
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
