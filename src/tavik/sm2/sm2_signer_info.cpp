#include "tavik/sm2/sm2_signer_info.h"

#include "tavik/sm2/der_writer.h"
#include "tavik/sm2/sm_identifiers.h"

namespace brevalt::sm2 {

namespace {

// The DER of an OpenSSL object through its i2d function; empty on failure.
template <typename T>
der::Bytes Encode(int (*i2d)(const T*, unsigned char**), const T* object) {
  unsigned char* bytes = nullptr;
  const int size = object == nullptr ? 0 : i2d(object, &bytes);
  der::Bytes out;
  if (size > 0) {
    out.assign(bytes, bytes + size);
  }
  OPENSSL_free(bytes);
  return out;
}

constexpr unsigned char kVersion1[] = {0x02, 0x01, 0x01};

}  // namespace

std::vector<unsigned char> SignerInfo(X509* cert, std::span<const unsigned char> attributes,
                                      std::span<const unsigned char> signature) {
  const der::Bytes issuer = Encode(i2d_X509_NAME, X509_get_issuer_name(cert));
  const der::Bytes serial = Encode(i2d_ASN1_INTEGER, X509_get0_serialNumber(cert));
  if (issuer.empty() || serial.empty() || attributes.empty() || attributes[0] != der::kSet) {
    return {};
  }
  der::Bytes signed_attributes(attributes.begin(), attributes.end());
  signed_attributes[0] = der::kContext0;  // [0] IMPLICIT SET OF Attribute
  return der::Element(der::kSequence, {kVersion1, der::Element(der::kSequence, {issuer, serial}),
                                       kSm3AlgorithmId, signed_attributes, kSm2WithSm3AlgorithmId,
                                       der::Element(der::kOctetString, signature)});
}

std::vector<unsigned char> Attribute(std::span<const unsigned char> type,
                                     std::span<const unsigned char> value) {
  return der::Element(der::kSequence, {type, der::Element(der::kSet, value)});
}

}  // namespace brevalt::sm2
