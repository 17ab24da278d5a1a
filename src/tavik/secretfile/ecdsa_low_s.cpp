#include "tavik/secretfile/ecdsa_low_s.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ecdsa.h>

#include <memory>

#include "platform/release_with.h"

namespace brevalt::container {

namespace {

using UniqueBn = std::unique_ptr<BIGNUM, ReleaseWith<BN_free>>;
using UniqueEcdsaSig = std::unique_ptr<ECDSA_SIG, ReleaseWith<ECDSA_SIG_free>>;

// The order n of the key's group; null for a key without one.
UniqueBn GroupOrder(EVP_PKEY* key) {
  BIGNUM* order = nullptr;
  if (EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_EC_ORDER, &order) != 1) {
    return nullptr;
  }
  return UniqueBn(order);
}

// True when s <= n / 2.
bool SIsLow(const ECDSA_SIG* sig, const BIGNUM* order) {
  UniqueBn twice_s(BN_dup(ECDSA_SIG_get0_s(sig)));
  return twice_s && BN_lshift1(twice_s.get(), twice_s.get()) == 1 &&
         BN_cmp(twice_s.get(), order) <= 0;
}

// Parses exactly one DER ECDSA signature.
UniqueEcdsaSig ParseSig(const unsigned char* der, std::size_t size) {
  const unsigned char* p = der;
  UniqueEcdsaSig sig(d2i_ECDSA_SIG(nullptr, &p, static_cast<long>(size)));
  if (sig && p != der + size) {
    sig.reset();
  }
  return sig;
}

UniqueEcdsaSig ParseSig(const ASN1_OCTET_STRING* signature) {
  return ParseSig(ASN1_STRING_get0_data(signature),
                  static_cast<std::size_t>(ASN1_STRING_length(signature)));
}

}  // namespace

bool IsLowS(EVP_PKEY* key, const unsigned char* der, std::size_t size) {
  const UniqueBn order = GroupOrder(key);
  const UniqueEcdsaSig sig = order ? ParseSig(der, size) : nullptr;
  return sig && SIsLow(sig.get(), order.get());
}

bool MirrorS(EVP_PKEY* key, ASN1_OCTET_STRING* signature) {
  const UniqueBn order = GroupOrder(key);
  const UniqueEcdsaSig sig = order ? ParseSig(signature) : nullptr;
  UniqueBn r(sig ? BN_dup(ECDSA_SIG_get0_r(sig.get())) : nullptr);
  UniqueBn mirrored(BN_new());
  if (!r || !mirrored || BN_sub(mirrored.get(), order.get(), ECDSA_SIG_get0_s(sig.get())) != 1 ||
      ECDSA_SIG_set0(sig.get(), r.get(), mirrored.get()) != 1) {
    return false;
  }
  r.release();  // both now owned by sig
  mirrored.release();
  unsigned char* der = nullptr;
  const int size = i2d_ECDSA_SIG(sig.get(), &der);
  const bool ok = size > 0 && ASN1_STRING_set(signature, der, size) == 1;
  OPENSSL_free(der);
  return ok;
}

bool MakeLowS(EVP_PKEY* key, ASN1_OCTET_STRING* signature) {
  const UniqueBn order = GroupOrder(key);
  const UniqueEcdsaSig sig = order ? ParseSig(signature) : nullptr;
  return sig && (SIsLow(sig.get(), order.get()) || MirrorS(key, signature));
}

}  // namespace brevalt::container
