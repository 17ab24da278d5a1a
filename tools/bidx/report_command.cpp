#include "tools/bidx/report_command.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/x509.h>

#include "tavik/anchors/pem_folder.h"
#include "tavik/secretfile/bidder_trust.h"
#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/container_reader.h"
#include "tavik/secretfile/container_signature.h"
#include "tavik/secretfile/file_digests.h"
#include "tavik/secretfile/signature_form.h"
#include "tools/bidx/extract_files.h"
#include "tools/bidx/key_files.h"
#include "tools/bidx/rules_document.h"

namespace brevalt::bidx {

namespace {

namespace cnt = container;

std::string BioText(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

std::string SubjectText(X509* cert) {
  cnt::UniqueBio bio(BIO_new(BIO_s_mem()));
  X509_NAME_print_ex(bio.get(), X509_get_subject_name(cert), 0,
                     XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
  return BioText(bio.get());
}

std::string TimeText(const ASN1_TIME* time) {
  cnt::UniqueBio bio(BIO_new(BIO_s_mem()));
  ASN1_TIME_print_ex(bio.get(), time, ASN1_DTFLGS_ISO8601);
  return BioText(bio.get());
}

// "SM2, 256 bits", "EC prime256v1, 256 bits", "RSA, 2048 bits": an SM2 key
// is always on the SM2 curve.
std::string KeyText(EVP_PKEY* key) {
  const char* type = key != nullptr ? EVP_PKEY_get0_type_name(key) : nullptr;
  std::string text = type != nullptr ? type : "unknown";
  char curve[64] = {};
  if (key != nullptr && EVP_PKEY_is_a(key, "SM2") != 1 &&
      EVP_PKEY_get_group_name(key, curve, sizeof curve, nullptr) == 1) {
    text = text + " " + curve;
  }
  return text + ", " + std::to_string(key != nullptr ? EVP_PKEY_get_bits(key) : 0) + " bits";
}

// The name of the algorithm a verified bid signature uses.
const char* SignatureName(const cnt::ContainerContents& c) {
  cnt::UniqueX509 cert = cnt::ParseCertificate(c.certificate);
  cnt::SignerFields fields;
  if (!cert || cnt::CheckSignatureForm(c.signature, cert.get(), &fields) != cnt::kOk) {
    return "unknown";
  }
  switch (fields.kind) {
    case cnt::SignatureKind::kSm2:
      return "SM2-with-SM3";
    case cnt::SignatureKind::kEcdsa:
      return "ecdsa-with-SHA256";
    case cnt::SignatureKind::kRsa:
      break;
  }
  return "RSA PKCS#1 v1.5 with SHA-256";
}

// Prints what the container says about itself; `mark` follows every line
// that the signature did not confirm.
void PrintContents(const cnt::ContainerContents& c, const char* mark, std::ostream& out) {
  out << "format version: " << c.header.version << mark << "\n"
      << "openers: total " << c.header.total_openers << ", minimum " << c.header.min_openers << mark
      << "\n"
      << "custom data: " << c.custom_data.size() << " bytes";
  if (auto rules = RulesLengthOf(c.custom_data)) {
    out << ", RULF rules file of " << *rules << " bytes";
  } else {
    out << ", no RULF rules file";
  }
  out << mark << "\npayload: " << c.header.payload_length << " bytes" << mark << "\n";
  if (cnt::UniqueX509 cert = cnt::ParseCertificate(c.certificate)) {
    out << "signer: " << SubjectText(cert.get()) << mark << "\n"
        << "valid: " << TimeText(X509_get0_notBefore(cert.get())) << " to "
        << TimeText(X509_get0_notAfter(cert.get())) << mark << "\n"
        << "key: " << KeyText(X509_get0_pubkey(cert.get())) << " (certificate signed "
        << OBJ_nid2ln(X509_get_signature_nid(cert.get())) << ")" << mark << "\n";
  }
}

// Prints the chain state; false when it is refused.
bool PrintChain(const cnt::ContainerContents& c, std::ostream& out) {
  const cnt::BidderChain chain = cnt::CheckBidderChain(c.certificate);
  switch (chain.status) {
    case cnt::ChainStatus::kVerified:
      out << "chain: verified to " << chain.detail << "\n";
      return true;
    case cnt::ChainStatus::kUnchecked:
      out << "chain: not checked (" << chain.detail << ")\n";
      return true;
    case cnt::ChainStatus::kRefused:
      break;
  }
  out << "chain: refused: " << chain.detail << " (code " << cnt::kSignerNotTrusted << ")\n";
  return false;
}

}  // namespace

int RunInspect(const std::string& path, const std::string& extract_dir, std::ostream& out,
               std::ostream& err) {
  cnt::FileDigests digests;
  if (!cnt::DigestFile(path, &digests)) {
    err << "bidx: bid " << path << ": " << WhyUnreadable(path) << "\n";
    return 1;
  }
  out << "verification code: " << cnt::UpperHex(digests.sha256) << "\n"
      << "sm3: " << cnt::UpperHex(digests.sm3) << "\n";
  cnt::ContainerContents contents;
  int rc = cnt::ReadContainer(path, &contents);
  if (rc != cnt::kOk) {
    out << "container: not valid: " << cnt::ErrorText(rc) << " (code " << rc << ")\n";
    return 1;
  }
  rc = cnt::CheckSignature(contents);
  PrintContents(contents, rc == cnt::kOk ? "" : " (unverified)", out);
  bool trusted = false;
  if (rc == cnt::kOk) {
    out << "signature: verified (" << SignatureName(contents) << ")\n";
    trusted = PrintChain(contents, out);
  } else {
    out << "signature: NOT verified: " << cnt::ErrorText(rc) << " (code " << rc << ")\n"
        << "chain: not checked (the signature does not verify)\n";
  }
  const std::string anchor_folder = cnt::BidderTrustFolder();
  out << "bidder anchors (" << anchor_folder
      << "): " << anchors::AnchorFilesText(anchors::ReadPemFolder(anchor_folder)) << "\n";
  if (!extract_dir.empty() && !ExtractContainer(path, contents, extract_dir, out, err)) {
    return 1;
  }
  return trusted ? 0 : 1;
}

}  // namespace brevalt::bidx
