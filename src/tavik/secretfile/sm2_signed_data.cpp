#include "tavik/secretfile/sm2_signed_data.h"

#include <openssl/err.h>

#include <memory>

#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/file_digests.h"
#include "tavik/secretfile/openssl_owners.h"
#include "tavik/secretfile/signature_der.h"
#include "tavik/sm2/der_writer.h"
#include "tavik/sm2/sm2_signature.h"
#include "tavik/sm2/sm_identifiers.h"

namespace brevalt::container {

namespace {

using der::Bytes;

// The DER of an OpenSSL object through its i2d function; empty on failure.
template <typename T>
Bytes Encode(int (*i2d)(const T*, unsigned char**), const T* object) {
  unsigned char* bytes = nullptr;
  const int size = object == nullptr ? 0 : i2d(object, &bytes);
  Bytes out;
  if (size > 0) {
    out.assign(bytes, bytes + size);
  }
  OPENSSL_free(bytes);
  return out;
}

// Attribute ::= SEQUENCE { type, SET { value } }
Bytes Attribute(der::View type, der::View value) {
  return der::Element(der::kSequence, {type, der::Element(der::kSet, value)});
}

Bytes SigningTime(std::time_t when) {
  std::unique_ptr<ASN1_TIME, ReleaseWith<ASN1_TIME_free>> time(ASN1_TIME_set(nullptr, when));
  return Encode(i2d_ASN1_TIME, time.get());
}

}  // namespace

std::vector<unsigned char> Sm2SignedAttributes(std::span<const unsigned char> sm3,
                                               std::time_t when) {
  const Bytes time = SigningTime(when);
  if (time.empty()) {
    return {};
  }
  return der::SetOf({Attribute(kContentTypeAttribute, kDataType),
                     Attribute(kSigningTimeAttribute, time),
                     Attribute(kMessageDigestAttribute, der::Element(der::kOctetString, sm3))});
}

std::vector<unsigned char> Sm2SignedData(X509* cert, std::span<const unsigned char> attributes,
                                         std::span<const unsigned char> signature) {
  const Bytes issuer = Encode(i2d_X509_NAME, X509_get_issuer_name(cert));
  const Bytes serial = Encode(i2d_ASN1_INTEGER, X509_get0_serialNumber(cert));
  if (issuer.empty() || serial.empty() || attributes.empty() || attributes[0] != der::kSet) {
    return {};
  }
  Bytes signed_attributes(attributes.begin(), attributes.end());
  signed_attributes[0] = der::kContext0;  // [0] IMPLICIT SET OF Attribute
  const Bytes signer_info = der::Element(
      der::kSequence,
      {kVersion1, der::Element(der::kSequence, {issuer, serial}), sm2::kSm3AlgorithmId,
       signed_attributes, sm2::kSm2WithSm3AlgorithmId, der::Element(der::kOctetString, signature)});
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
