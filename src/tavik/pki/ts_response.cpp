#include "tavik/pki/ts_response.h"

#include <openssl/bn.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/ts.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>
#include <memory>
#include "platform/release_with.h"
#include "tavik/pki/ts_sm2_token.h"

namespace brevalt::pki {
namespace {

using RespPtr = std::unique_ptr<TS_RESP, ReleaseWith<TS_RESP_free>>;
using BnPtr = std::unique_ptr<BIGNUM, ReleaseWith<BN_free>>;
using CmsPtr = std::unique_ptr<CMS_ContentInfo, ReleaseWith<CMS_ContentInfo_free>>;
using Pkcs7Ptr = std::unique_ptr<PKCS7, ReleaseWith<PKCS7_free>>;
using VerifyCtxPtr = std::unique_ptr<TS_VERIFY_CTX, ReleaseWith<TS_VERIFY_CTX_free>>;

std::vector<unsigned char> StringBytes(const ASN1_STRING* value) {
  const unsigned char* data = ASN1_STRING_get0_data(value);
  return std::vector<unsigned char>(data, data + ASN1_STRING_length(value));
}

std::string DottedOid(const ASN1_OBJECT* object) {
  char text[128];
  const int n = OBJ_obj2txt(text, sizeof text, object, 1);
  if (n <= 0 || n >= static_cast<int>(sizeof text)) {
    return {};
  }
  return std::string(text, static_cast<size_t>(n));
}

// genTime normalised to UTC as fourteen digits and "Z".
bool FormatGenTime(const ASN1_GENERALIZEDTIME* time, std::string* out) {
  struct tm fields = {};
  if (time == nullptr || ASN1_TIME_to_tm(time, &fields) != 1) {
    return false;
  }
  char text[32];
  const int n = std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02dZ", fields.tm_year + 1900,
                              fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min,
                              fields.tm_sec);
  if (n != 15) {
    return false;
  }
  out->assign(text, 15);
  return true;
}

bool ReadNonce(const ASN1_INTEGER* nonce, TimeStampFields* out) {
  if (nonce == nullptr) {
    return true;
  }
  BnPtr value(ASN1_INTEGER_to_BN(nonce, nullptr));
  if (!value) {
    return false;
  }
  out->has_nonce = true;
  out->nonce_negative = BN_is_negative(value.get()) != 0;
  out->nonce.resize(static_cast<size_t>(BN_num_bytes(value.get())));
  BN_bn2bin(value.get(), out->nonce.data());
  return true;
}

ResponseCheck ReadToken(TS_RESP* response, TimeStampFields* out) {
  PKCS7* token = TS_RESP_get_token(response);
  TS_TST_INFO* info = TS_RESP_get_tst_info(response);
  if (token == nullptr || info == nullptr) {
    return ResponseCheck::kMalformed;
  }
  unsigned char* der = nullptr;
  const int size = i2d_PKCS7(token, &der);
  if (size <= 0) {
    return ResponseCheck::kMalformed;
  }
  out->token.assign(der, der + size);
  OPENSSL_free(der);
  TS_MSG_IMPRINT* imprint = TS_TST_INFO_get_msg_imprint(info);
  const ASN1_OBJECT* algorithm = nullptr;
  X509_ALGOR_get0(&algorithm, nullptr, nullptr, TS_MSG_IMPRINT_get_algo(imprint));
  out->imprint_algorithm = DottedOid(algorithm);
  out->imprint = StringBytes(TS_MSG_IMPRINT_get_msg(imprint));
  if (!ReadNonce(TS_TST_INFO_get_nonce(info), out)) {
    return ResponseCheck::kMalformed;
  }
  return FormatGenTime(TS_TST_INFO_get_time(info), &out->gen_time) ? ResponseCheck::kOk
                                                                   : ResponseCheck::kBadTime;
}

// Also hands the decoded answer to *kept when given, so that its token need
// not be decoded again.
ResponseCheck ParseInto(std::span<const unsigned char> bytes, TimeStampFields* out,
                        RespPtr* kept = nullptr) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(LONG_MAX)) {
    return ResponseCheck::kMalformed;
  }
  // GM/T 0010's signedData identifier, read as RFC 3161's.
  const std::vector<unsigned char> rfc_form = RfcFormOfGmtResponse(bytes);
  if (!rfc_form.empty()) {
    bytes = rfc_form;
  }
  const unsigned char* cursor = bytes.data();
  RespPtr response(d2i_TS_RESP(nullptr, &cursor, static_cast<long>(bytes.size())));
  if (!response || cursor != bytes.data() + bytes.size()) {
    return ResponseCheck::kMalformed;
  }
  const ASN1_INTEGER* status = TS_STATUS_INFO_get0_status(TS_RESP_get_status_info(response.get()));
  int64_t value = -1;
  if (status == nullptr || ASN1_INTEGER_get_int64(&value, status) != 1 || value < 0 ||
      value > INT_MAX) {
    return ResponseCheck::kMalformed;
  }
  out->status = static_cast<int>(value);
  if (value > 1) {
    return ResponseCheck::kOk;
  }
  const ResponseCheck check = ReadToken(response.get(), out);
  if (kept != nullptr) {
    *kept = std::move(response);
  }
  return check;
}

std::vector<unsigned char> NonceBytes(uint64_t nonce) {
  std::vector<unsigned char> bytes;
  for (; nonce != 0; nonce >>= 8) {
    bytes.insert(bytes.begin(), static_cast<unsigned char>(nonce & 0xff));
  }
  return bytes;
}

// Whether OpenSSL's time-stamp verification accepts the decoded token
// against trusted (see VerifyTokenTrust).
bool TrustsToken(PKCS7* token, X509_STORE* trusted) {
  if (IsSm2Token(token)) {
    return VerifySm2TokenTrust(token, trusted);
  }
  VerifyCtxPtr context(TS_VERIFY_CTX_new());
  // The context frees the store it is given: hand it a reference of its own.
  if (!context || X509_STORE_up_ref(trusted) != 1) {
    return false;
  }
  TS_VERIFY_CTX_set_store(context.get(), trusted);
  // Signature, chain, signer's purpose (X509_PURPOSE_TIMESTAMP_SIGN) and the
  // signing-certificate attribute; imprint and nonce are checked by the caller.
  TS_VERIFY_CTX_set_flags(context.get(), TS_VFY_SIGNATURE);
  return TS_RESP_verify_token(context.get(), token) == 1;
}

// The signature and trust checks of one token, decoded (token) and as DER.
// The trust check verifies the signature too, with the signer certificate
// the token carries; so a token it accepts has a good signature, and only a
// refused one is checked again to tell a bad signature from an untrusted
// signer. This spares decoding the token again on the common path.
ResponseCheck CheckDecodedToken(PKCS7* token, std::span<const unsigned char> der,
                                X509_STORE* trusted) {
  const bool trusts = trusted != nullptr && TrustsToken(token, trusted);
  ERR_clear_error();
  if (trusts) {
    return ResponseCheck::kOk;
  }
  return VerifyTokenSignature(der) ? ResponseCheck::kUntrustedSigner : ResponseCheck::kBadSignature;
}

ResponseCheck CheckBinding(const TimeStampFields& fields, PKCS7* token,
                           const ExpectedBinding& expected, X509_STORE* trusted) {
  const ASN1_OBJECT* algorithm = OBJ_nid2obj(expected.digest_nid);
  if (algorithm == nullptr || fields.imprint_algorithm.empty() ||
      fields.imprint_algorithm != DottedOid(algorithm) ||
      !std::equal(fields.imprint.begin(), fields.imprint.end(), expected.imprint.begin(),
                  expected.imprint.end())) {
    return ResponseCheck::kImprintMismatch;
  }
  if (!fields.has_nonce) {
    return ResponseCheck::kNonceMissing;
  }
  if (fields.nonce_negative || fields.nonce != NonceBytes(expected.nonce)) {
    return ResponseCheck::kNonceMismatch;
  }
  return CheckDecodedToken(token, fields.token, trusted);
}

// The token as PKCS7, or null when it is not exactly one.
Pkcs7Ptr DecodeToken(std::span<const unsigned char> token) {
  Pkcs7Ptr pkcs7;
  if (!token.empty() && token.size() <= static_cast<size_t>(LONG_MAX)) {
    const unsigned char* cursor = token.data();
    pkcs7.reset(d2i_PKCS7(nullptr, &cursor, static_cast<long>(token.size())));
    if (cursor != token.data() + token.size()) {
      pkcs7.reset();
    }
  }
  ERR_clear_error();
  return pkcs7;
}

// The token as PKCS7 when it is one signed with SM2, else null.
Pkcs7Ptr Sm2Token(std::span<const unsigned char> token) {
  Pkcs7Ptr pkcs7 = DecodeToken(token);
  if (pkcs7 && !IsSm2Token(pkcs7.get())) {
    pkcs7.reset();
  }
  return pkcs7;
}

}  // namespace

ResponseCheck ParseTimeStampResponse(std::span<const unsigned char> bytes, TimeStampFields* out) {
  TimeStampFields fields;
  const ResponseCheck check = ParseInto(bytes, &fields);
  ERR_clear_error();
  if (check == ResponseCheck::kOk && out != nullptr) {
    *out = std::move(fields);
  }
  return check;
}

ResponseCheck ValidateTimeStampResponse(std::span<const unsigned char> bytes,
                                        const ExpectedBinding& expected, X509_STORE* trusted,
                                        TimeStampFields* out) {
  TimeStampFields fields;
  RespPtr response;
  ResponseCheck check = ParseInto(bytes, &fields, &response);
  ERR_clear_error();
  if (check == ResponseCheck::kOk && fields.status <= 1) {
    check = CheckBinding(fields, TS_RESP_get_token(response.get()), expected, trusted);
  }
  if (check == ResponseCheck::kOk && out != nullptr) {
    *out = std::move(fields);
  }
  return check;
}

bool VerifyTokenSignature(std::span<const unsigned char> token) {
  if (token.empty() || token.size() > static_cast<size_t>(LONG_MAX)) {
    return false;
  }
  if (Pkcs7Ptr sm2 = Sm2Token(token)) {
    return VerifySm2TokenSignature(sm2.get());
  }
  const unsigned char* cursor = token.data();
  CmsPtr cms(d2i_CMS_ContentInfo(nullptr, &cursor, static_cast<long>(token.size())));
  bool verified = cms && cursor == token.data() + token.size() &&
                  CMS_verify(cms.get(), nullptr, nullptr, nullptr, nullptr,
                             CMS_NO_SIGNER_CERT_VERIFY | CMS_BINARY) == 1;
  ERR_clear_error();
  return verified;
}

bool VerifyTokenTrust(std::span<const unsigned char> token, X509_STORE* trusted) {
  Pkcs7Ptr pkcs7 = DecodeToken(token);
  const bool verified = pkcs7 && trusted != nullptr && TrustsToken(pkcs7.get(), trusted);
  ERR_clear_error();
  return verified;
}

ResponseCheck VerifyToken(std::span<const unsigned char> token, X509_STORE* trusted) {
  Pkcs7Ptr pkcs7 = DecodeToken(token);
  return pkcs7 ? CheckDecodedToken(pkcs7.get(), token, trusted) : ResponseCheck::kBadSignature;
}

}  // namespace brevalt::pki
