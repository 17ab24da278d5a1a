#include "tavik/sm2/sm2_chain.h"

#include <openssl/err.h>
#include <openssl/objects.h>

#include <memory>

#include "tavik/sm2/sm2_signature.h"

namespace brevalt::sm2 {

namespace {

struct X509Free {
  void operator()(X509* cert) const { X509_free(cert); }
};

}  // namespace

bool VerifyCertificateSignature(X509* cert, EVP_PKEY* issuer_key, std::string_view id) {
  if (cert == nullptr || X509_get_signature_nid(cert) != NID_SM2_with_SM3 ||
      !IsSm2Key(issuer_key)) {
    return false;
  }
  // A copy carries the identifier, so that the caller's object (perhaps in a
  // shared store) is never changed. The copy keeps the encoding as read.
  std::unique_ptr<X509, X509Free> copy(X509_dup(cert));
  ASN1_OCTET_STRING* identifier = ASN1_OCTET_STRING_new();
  bool ok = copy && identifier != nullptr &&
            ASN1_OCTET_STRING_set(identifier, reinterpret_cast<const unsigned char*>(id.data()),
                                  static_cast<int>(id.size())) == 1;
  if (ok) {
    X509_set0_distinguishing_id(copy.get(), identifier);  // owned by the copy now
    ok = X509_verify(copy.get(), issuer_key) == 1;
  } else {
    ASN1_OCTET_STRING_free(identifier);
  }
  ERR_clear_error();
  return ok;
}

int AcceptStandardSm2Links(int ok, X509_STORE_CTX* ctx) {
  if (ok != 0 || X509_STORE_CTX_get_error(ctx) != X509_V_ERR_CERT_SIGNATURE_FAILURE) {
    return ok;
  }
  STACK_OF(X509)* chain = X509_STORE_CTX_get0_chain(ctx);
  const int depth = X509_STORE_CTX_get_error_depth(ctx);
  X509* cert = X509_STORE_CTX_get_current_cert(ctx);
  if (chain == nullptr || cert == nullptr || sk_X509_value(chain, depth) != cert) {
    return 0;
  }
  // The issuer is the next certificate up; a self-signed top is its own.
  X509* issuer = depth + 1 < sk_X509_num(chain) ? sk_X509_value(chain, depth + 1) : cert;
  if (!VerifyCertificateSignature(cert, X509_get0_pubkey(issuer), kDefaultId)) {
    return 0;
  }
  X509_STORE_CTX_set_error(ctx, X509_V_OK);
  return 1;
}

}  // namespace brevalt::sm2
