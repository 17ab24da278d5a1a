#include "tools/bidx/report_command.h"

#include <openssl/err.h>
#include <openssl/pem.h>

#include <filesystem>

#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/container_reader.h"
#include "tavik/secretfile/container_signature.h"
#include "tavik/secretfile/file_input.h"
#include "tools/bidx/rules_document.h"

namespace brevalt::bidx {

namespace {

std::string BioText(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

std::string SubjectText(X509* cert) {
  container::UniqueBio bio(BIO_new(BIO_s_mem()));
  X509_NAME_print_ex(bio.get(), X509_get_subject_name(cert), 0,
                     XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
  return BioText(bio.get());
}

std::string TimeText(const ASN1_TIME* time) {
  container::UniqueBio bio(BIO_new(BIO_s_mem()));
  ASN1_TIME_print_ex(bio.get(), time, ASN1_DTFLGS_ISO8601);
  return BioText(bio.get());
}

void PrintContents(const container::ContainerContents& c, std::ostream& out) {
  out << "format version: " << c.header.version << "\n"
      << "openers: total " << c.header.total_openers << ", minimum " << c.header.min_openers << "\n"
      << "custom data: " << c.custom_data.size() << " bytes";
  if (auto rules = RulesLengthOf(c.custom_data)) {
    out << ", RULF rules file of " << *rules << " bytes";
  } else {
    out << ", no RULF rules file";
  }
  out << "\npayload: " << c.header.payload_length << " bytes\n";
  if (container::UniqueX509 cert = container::ParseCertificate(c.certificate)) {
    out << "signer: " << SubjectText(cert.get()) << "\n"
        << "valid: " << TimeText(X509_get0_notBefore(cert.get())) << " to "
        << TimeText(X509_get0_notAfter(cert.get())) << "\n";
  }
}

bool WriteFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  container::UniqueFile file(std::fopen(path.c_str(), "wb"));
  return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
         std::fclose(file.release()) == 0;
}

// Copies the first `count` bytes of `source` to `target` in fixed chunks.
bool CopyPrefix(const std::string& source, std::uint64_t count,
                const std::filesystem::path& target) {
  std::uint64_t size = 0;
  container::UniqueFile in = container::OpenRegularFile(source, &size);
  container::UniqueFile out(std::fopen(target.c_str(), "wb"));
  std::vector<unsigned char> buffer(container::kIoBufferSize);
  return in && out &&
         container::StreamBytes(in.get(), count, buffer,
                                [&](const unsigned char* d, std::size_t n) {
                                  return std::fwrite(d, 1, n, out.get()) == n;
                                }) &&
         std::fclose(out.release()) == 0;
}

bool Extract(const std::string& path, const container::ContainerContents& c,
             const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  container::UniqueX509 cert = container::ParseCertificate(c.certificate);
  container::UniqueFile pem(std::fopen((dir / "signer.pem").c_str(), "wb"));
  const bool pem_ok =
      cert && pem && PEM_write_X509(pem.get(), cert.get()) == 1 && std::fclose(pem.release()) == 0;
  ERR_clear_error();
  return pem_ok && WriteFile(dir / "sig.der", c.signature) &&
         CopyPrefix(path, c.signed_length, dir / "signed.bin");
}

}  // namespace

int RunInspect(const std::string& path, const std::string& extract_dir, std::ostream& out,
               std::ostream& err) {
  container::ContainerContents contents;
  int rc = container::ReadContainer(path, &contents);
  if (rc != container::kOk) {
    out << "container: not valid: " << container::ErrorText(rc) << " (code " << rc << ")\n";
    return 1;
  }
  PrintContents(contents, out);
  rc = container::CheckSignature(contents);
  out << "signature: "
      << (rc == container::kOk ? std::string("verified")
                               : std::string("NOT verified: ") + container::ErrorText(rc) +
                                     " (code " + std::to_string(rc) + ")")
      << "\n";
  if (!extract_dir.empty() && !Extract(path, contents, extract_dir)) {
    err << "bidx: cannot extract into " << extract_dir << "\n";
    return 1;
  }
  return rc == container::kOk ? 0 : 1;
}

}  // namespace brevalt::bidx
