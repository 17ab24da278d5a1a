#include "tavik/sm2/sm2_signature.h"

#include <openssl/core_names.h>
#include <openssl/err.h>

#include <cstring>
#include <memory>

namespace brevalt::sm2 {

namespace {

struct MdCtxFree {
  void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};
struct PkeyCtxFree {
  void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};

// A digest context for SM2 with SM3 under `id`. The key context is set on
// the digest context before its initialisation, the only way OpenSSL 3.0
// takes the identifier into Z. The digest context does not own the key
// context, so both are kept together; members go in reverse order, the
// digest context first.
class Sm2Context {
 public:
  Sm2Context(EVP_PKEY* key, std::string_view id)
      : key_ctx_(EVP_PKEY_CTX_new(key, nullptr)), md_ctx_(EVP_MD_CTX_new()) {
    ok_ = key_ctx_ && md_ctx_ &&
          EVP_PKEY_CTX_set1_id(key_ctx_.get(), id.data(), static_cast<int>(id.size())) == 1;
    if (ok_) {
      EVP_MD_CTX_set_pkey_ctx(md_ctx_.get(), key_ctx_.get());
    }
  }

  EVP_MD_CTX* get() const { return ok_ ? md_ctx_.get() : nullptr; }

 private:
  std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree> key_ctx_;
  std::unique_ptr<EVP_MD_CTX, MdCtxFree> md_ctx_;
  bool ok_ = false;
};

}  // namespace

bool IsSm2Key(EVP_PKEY* key) {
  char group[32] = {};
  std::size_t length = 0;
  const bool ok = key != nullptr && EVP_PKEY_is_a(key, "SM2") == 1 &&
                  EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group,
                                                 sizeof group, &length) == 1 &&
                  std::strcmp(group, "SM2") == 0;
  ERR_clear_error();
  return ok;
}

bool Sign(EVP_PKEY* key, std::span<const unsigned char> message, std::string_view id,
          std::vector<unsigned char>* signature) {
  signature->clear();
  if (!IsSm2Key(key)) {
    return false;
  }
  Sm2Context ctx(key, id);
  std::size_t size = 0;
  bool ok = ctx.get() != nullptr &&
            EVP_DigestSignInit(ctx.get(), nullptr, EVP_sm3(), nullptr, key) == 1 &&
            EVP_DigestSign(ctx.get(), nullptr, &size, message.data(), message.size()) == 1;
  if (ok) {
    signature->resize(size);
    ok = EVP_DigestSign(ctx.get(), signature->data(), &size, message.data(), message.size()) == 1;
    signature->resize(ok ? size : 0);
  }
  ERR_clear_error();
  return ok;
}

bool Verify(EVP_PKEY* key, std::span<const unsigned char> message,
            std::span<const unsigned char> signature, std::string_view id) {
  if (!IsSm2Key(key)) {
    return false;
  }
  Sm2Context ctx(key, id);
  const bool ok = ctx.get() != nullptr &&
                  EVP_DigestVerifyInit(ctx.get(), nullptr, EVP_sm3(), nullptr, key) == 1 &&
                  EVP_DigestVerify(ctx.get(), signature.data(), signature.size(), message.data(),
                                   message.size()) == 1;
  ERR_clear_error();
  return ok;
}

bool SignCertificate(X509* cert, EVP_PKEY* issuer_key, std::string_view id) {
  if (!IsSm2Key(issuer_key)) {
    return false;
  }
  Sm2Context ctx(issuer_key, id);
  const bool ok = ctx.get() != nullptr &&
                  EVP_DigestSignInit(ctx.get(), nullptr, EVP_sm3(), nullptr, issuer_key) == 1 &&
                  X509_sign_ctx(cert, ctx.get()) > 0;
  ERR_clear_error();
  return ok;
}

}  // namespace brevalt::sm2
