#include "tavik/pki/ts_request.h"

#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/rand.h>
#include <openssl/ts.h>
#include <sys/random.h>

#include <climits>
#include <memory>
#include "platform/release_with.h"

namespace brevalt::pki {
namespace {

using ReqPtr = std::unique_ptr<TS_REQ, ReleaseWith<TS_REQ_free>>;
using ImprintPtr = std::unique_ptr<TS_MSG_IMPRINT, ReleaseWith<TS_MSG_IMPRINT_free>>;
using AlgorPtr = std::unique_ptr<X509_ALGOR, ReleaseWith<X509_ALGOR_free>>;
using IntegerPtr = std::unique_ptr<ASN1_INTEGER, ReleaseWith<ASN1_INTEGER_free>>;

// The imprint with its algorithm identifier (parameters NULL, as usual for SHA-2).
ImprintPtr MakeImprint(int digest_nid, std::span<const unsigned char> digest) {
  ImprintPtr imprint(TS_MSG_IMPRINT_new());
  AlgorPtr algorithm(X509_ALGOR_new());
  if (!imprint || !algorithm ||
      X509_ALGOR_set0(algorithm.get(), OBJ_nid2obj(digest_nid), V_ASN1_NULL, nullptr) != 1 ||
      TS_MSG_IMPRINT_set_algo(imprint.get(), algorithm.get()) != 1 ||
      TS_MSG_IMPRINT_set_msg(imprint.get(), const_cast<unsigned char*>(digest.data()),
                             static_cast<int>(digest.size())) != 1) {
    return nullptr;
  }
  return imprint;
}

}  // namespace

uint64_t RandomNonce() {
  for (int attempt = 0; attempt < 4; ++attempt) {
    unsigned char bytes[8];
    // The kernel's generator first: OpenSSL's would be set up and seeded for
    // these eight bytes alone, which costs more than the rest of a request.
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes) &&
        RAND_bytes(bytes, sizeof bytes) != 1) {
      return 0;
    }
    uint64_t nonce = 0;
    for (unsigned char b : bytes) {
      nonce = (nonce << 8) | b;
    }
    if (nonce != 0) {
      return nonce;
    }
  }
  return 0;
}

bool BuildTimeStampQuery(int digest_nid, std::span<const unsigned char> imprint, uint64_t nonce,
                         TimeStampQuery* out) {
  const EVP_MD* md = EVP_get_digestbynid(digest_nid);
  if (md == nullptr || out == nullptr || nonce == 0 ||
      imprint.size() != static_cast<size_t>(EVP_MD_get_size(md))) {
    return false;
  }
  ReqPtr request(TS_REQ_new());
  ImprintPtr message = MakeImprint(digest_nid, imprint);
  IntegerPtr nonce_value(ASN1_INTEGER_new());
  if (!request || !message || !nonce_value ||
      ASN1_INTEGER_set_uint64(nonce_value.get(), nonce) != 1 ||
      TS_REQ_set_version(request.get(), 1) != 1 ||
      TS_REQ_set_msg_imprint(request.get(), message.get()) != 1 ||
      TS_REQ_set_nonce(request.get(), nonce_value.get()) != 1 ||
      TS_REQ_set_cert_req(request.get(), 1) != 1) {
    return false;
  }
  unsigned char* der = nullptr;
  const int size = i2d_TS_REQ(request.get(), &der);
  if (size <= 0) {
    return false;
  }
  out->der.assign(der, der + size);
  out->nonce = nonce;
  OPENSSL_free(der);
  return true;
}

}  // namespace brevalt::pki
