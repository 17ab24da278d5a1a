// Checking a stored time-stamp answer as the receipt of a file's bytes:
// TavikPKIMsgTimeStampCheckReceipt.
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <algorithm>
#include <memory>
#include <span>
#include <string>

#include "tavik/guarded_call.h"
#include "tavik/pki/pki_memory.h"
#include "tavik/pki/ts_response.h"
#include "tavik/pki/ts_trust.h"
#include "tavik/tavik_pki.h"

namespace {

using namespace brevalt::pki;

using Pkcs7Owner = std::unique_ptr<PKCS7, brevalt::ReleaseWith<PKCS7_free>>;
using BioOwner = std::unique_ptr<BIO, brevalt::ReleaseWith<BIO_free>>;

// The digest id (TAVIK_HASH_TIMESTAMP for SHA-256, TAVIK_HASH_SM3) of the
// imprint's algorithm, named by its dotted OID; 0 for any other digest. Our
// requests ask with these two only: an MD5 or SHA-1 imprint would let one
// receipt cover two colliding files, so it is never honoured.
int ImprintAlgorithm(const TimeStampFields& fields) {
  const int nid = OBJ_txt2nid(fields.imprint_algorithm.c_str());
  if (nid == NID_sha256)
    return TAVIK_HASH_TIMESTAMP;
  return nid == NID_sm3 ? TAVIK_HASH_SM3 : 0;
}

// True when imprint is the digest of data under the imprint's algorithm.
bool ImprintMatches(const TimeStampFields& fields, std::span<const unsigned char> data) {
  const EVP_MD* md = EVP_get_digestbynid(OBJ_txt2nid(fields.imprint_algorithm.c_str()));
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  return md != nullptr && EVP_Digest(data.data(), data.size(), digest, &size, md, nullptr) == 1 &&
         fields.imprint.size() == size &&
         std::equal(fields.imprint.begin(), fields.imprint.end(), digest);
}

// The subject of the token's signer, RFC 2253 ("CN=…,O=…"); empty when the
// token carries no signer certificate.
std::string SignerSubject(std::span<const unsigned char> token) {
  const unsigned char* cursor = token.data();
  Pkcs7Owner pkcs7(d2i_PKCS7(nullptr, &cursor, static_cast<long>(token.size())));
  STACK_OF(X509)* signers = pkcs7 ? PKCS7_get0_signers(pkcs7.get(), nullptr, 0) : nullptr;
  std::string subject;
  BioOwner bio(BIO_new(BIO_s_mem()));
  if (signers != nullptr && sk_X509_num(signers) == 1 && bio &&
      X509_NAME_print_ex(bio.get(), X509_get_subject_name(sk_X509_value(signers, 0)), 0,
                         XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) >= 0) {
    char* text = nullptr;
    const long n = BIO_get_mem_data(bio.get(), &text);
    subject.assign(text, static_cast<size_t>(n));
  }
  sk_X509_free(signers);
  ERR_clear_error();
  return subject;
}

// 0 when the receipt holds, else a TAVIK_RECEIPT_* reason.
int Check(std::span<const unsigned char> answer, std::span<const unsigned char> data,
          TimeStampFields* fields) {
  if (ParseTimeStampResponse(answer, fields) != ResponseCheck::kOk)
    return TAVIK_RECEIPT_MALFORMED;
  if (fields->status > 1)
    return TAVIK_RECEIPT_NOT_GRANTED;
  if (ImprintAlgorithm(*fields) == 0)
    return TAVIK_RECEIPT_WEAK_IMPRINT;
  if (!ImprintMatches(*fields, data))
    return TAVIK_RECEIPT_DATA_CHANGED;
  StorePtr trusted = SharedTimeStampTrust();
  switch (VerifyToken(fields->token, trusted.get())) {
    case ResponseCheck::kOk:
      return 0;
    case ResponseCheck::kBadSignature:
      return TAVIK_RECEIPT_BAD_SIGNATURE;
    default:
      return TAVIK_RECEIPT_UNTRUSTED;
  }
}

}  // namespace

extern "C" {

int TavikPKIMsgTimeStampCheckReceipt(const unsigned char* answer, int answer_length,
                                     const unsigned char* data, int data_length, char** gen_time,
                                     char** authority, int* imprint_algorithm, int* reason) {
  if (answer == nullptr || answer_length <= 0 || (data == nullptr && data_length != 0) ||
      data_length < 0 || gen_time == nullptr || authority == nullptr ||
      imprint_algorithm == nullptr || reason == nullptr) {
    return 0;
  }
  return brevalt::GuardedCall(0, 0, [&] {
    TimeStampFields fields;
    *reason = Check({answer, static_cast<size_t>(answer_length)},
                    {data, static_cast<size_t>(data_length)}, &fields);
    if (*reason != 0)
      return 0;
    char* time = CopyToLibText(fields.gen_time);
    char* subject = CopyToLibText(SignerSubject(fields.token));
    if (time == nullptr || subject == nullptr) {
      OPENSSL_free(time);
      OPENSSL_free(subject);
      *reason = TAVIK_RECEIPT_MALFORMED;
      return 0;
    }
    *gen_time = time;
    *authority = subject;
    *imprint_algorithm = ImprintAlgorithm(fields);
    return 1;
  });
}

}  // extern "C"
