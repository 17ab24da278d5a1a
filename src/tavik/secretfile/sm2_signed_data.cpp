#include "tavik/secretfile/sm2_signed_data.h"

#include <openssl/err.h>

#include <memory>

#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/file_digests.h"
#include "tavik/secretfile/openssl_owners.h"
#include "tavik/secretfile/signature_der.h"
#include "tavik/sm2/der_writer.h"
#include "tavik/sm2/sm2_signature.h"
#include "tavik/sm2/sm2_signer_info.h"

namespace brevalt::container {

namespace {

using der::Bytes;

Bytes SigningTime(std::time_t when) {
  std::unique_ptr<ASN1_TIME, ReleaseWith<ASN1_TIME_free>> time(ASN1_TIME_set(nullptr, when));
  unsigned char* bytes = nullptr;
  const int size = time ? i2d_ASN1_TIME(time.get(), &bytes) : 0;
  Bytes out(bytes, bytes + (size > 0 ? size : 0));
  OPENSSL_free(bytes);
  return out;
}

}  // namespace

std::vector<unsigned char> Sm2SignedAttributes(std::span<const unsigned char> sm3,
                                               std::time_t when) {
  const Bytes time = SigningTime(when);
  if (time.empty()) {
    return {};
  }
  return der::SetOf(
      {sm2::Attribute(kContentTypeAttribute, kDataType),
       sm2::Attribute(kSigningTimeAttribute, time),
       sm2::Attribute(kMessageDigestAttribute, der::Element(der::kOctetString, sm3))});
}

std::vector<unsigned char> Sm2SignedData(X509* cert, std::span<const unsigned char> attributes,
                                         std::span<const unsigned char> signature) {
  const Bytes signer_info = sm2::SignerInfo(cert, attributes, signature);
  if (signer_info.empty()) {
    return {};
  }
  const Bytes signed_data = der::Element(der::kSequence, {kVersion1, kSm3Algorithms, kDetachedData,
                                                          der::Element(der::kSet, signer_info)});
  return der::Element(der::kSequence, {kSignedDataType, der::Element(der::kContext0, signed_data)});
}

int SignSm2(const std::string& path, X509* cert, EVP_PKEY* key, std::vector<unsigned char>* der) {
  const bool own_key = sm2::IsSm2Key(key) && X509_check_private_key(cert, key) == 1;
  ERR_clear_error();
  if (!own_key) {
    return kSigningFailed;
  }
  FileDigests digests;
  if (!DigestFile(path, &digests)) {
    return kFileReadFailed;
  }
  const Bytes attributes = Sm2SignedAttributes(digests.sm3, std::time(nullptr));
  Bytes signature;
  if (attributes.empty() || !sm2::Sign(key, attributes, sm2::kDefaultId, &signature)) {
    return kSigningFailed;
  }
  *der = Sm2SignedData(cert, attributes, signature);
  return der->empty() ? kSigningFailed : kOk;
}

}  // namespace brevalt::container
