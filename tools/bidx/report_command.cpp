#include "tools/bidx/report_command.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include "tavik/anchors/pem_folder.h"
#include "tavik/secretfile/bidder_trust.h"
#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/container_reader.h"
#include "tavik/secretfile/container_signature.h"
#include "tavik/secretfile/file_input.h"
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

// The upper-case hexadecimal SHA-256 of the whole file (its verification
// code), read in fixed chunks; empty when the file cannot be read.
std::string VerificationCode(const std::string& path) {
  std::uint64_t size = 0;
  cnt::UniqueFile file = cnt::OpenRegularFile(path, &size);
  cnt::UniqueMdCtx md(EVP_MD_CTX_new());
  std::vector<unsigned char> buffer(cnt::kIoBufferSize);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!file || !md || EVP_DigestInit_ex(md.get(), EVP_sha256(), nullptr) != 1 ||
      !cnt::StreamBytes(file.get(), size, buffer,
                        [&](const unsigned char* d, std::size_t n) {
                          return EVP_DigestUpdate(md.get(), d, n) == 1;
                        }) ||
      EVP_DigestFinal_ex(md.get(), digest, &length) != 1) {
    return {};
  }
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += "0123456789ABCDEF"[digest[i] >> 4];
    hex += "0123456789ABCDEF"[digest[i] & 0x0F];
  }
  return hex;
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
        << TimeText(X509_get0_notAfter(cert.get())) << mark << "\n";
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
  const std::string code = VerificationCode(path);
  if (code.empty()) {
    err << "bidx: bid " << path << ": " << WhyUnreadable(path) << "\n";
    return 1;
  }
  out << "verification code: " << code << "\n";
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
    out << "signature: verified\n";
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
