#include "tools/bidx/extract_files.h"

#include <openssl/err.h>
#include <openssl/pem.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/container_format.h"
#include "tavik/secretfile/container_signature.h"
#include "tavik/secretfile/file_input.h"
#include "tavik/secretfile/signature_form.h"

namespace brevalt::bidx {

namespace {

namespace cnt = container;
namespace fs = std::filesystem;

// Opens `target` for writing; on failure names it and the cause on `err`.
cnt::UniqueFile Create(const fs::path& target, std::ostream& err) {
  cnt::UniqueFile file(std::fopen(target.c_str(), "wb"));
  if (!file) {
    err << "bidx: cannot write " << target.string() << ": " << std::strerror(errno) << "\n";
  }
  return file;
}

bool Close(cnt::UniqueFile file, const fs::path& target, std::ostream& err) {
  if (std::fclose(file.release()) != 0) {
    err << "bidx: cannot write " << target.string() << ": " << std::strerror(errno) << "\n";
    return false;
  }
  return true;
}

// Copies `count` bytes at `offset` of `source` to `target` in fixed chunks.
bool CopyRange(const std::string& source, std::uint64_t offset, std::uint64_t count,
               const fs::path& target, std::ostream& err) {
  std::uint64_t size = 0;
  cnt::UniqueFile in = cnt::OpenRegularFile(source, &size);
  cnt::UniqueFile out = Create(target, err);
  std::vector<unsigned char> buffer(cnt::kIoBufferSize);
  if (!out) {
    return false;
  }
  if (!in || !cnt::SeekTo(in.get(), offset) ||
      !cnt::StreamBytes(in.get(), count, buffer, [&](const unsigned char* d, std::size_t n) {
        return std::fwrite(d, 1, n, out.get()) == n;
      })) {
    err << "bidx: cannot copy from " << source << " to " << target.string() << "\n";
    return false;
  }
  return Close(std::move(out), target, err);
}

bool WriteBytes(const std::vector<unsigned char>& bytes, const fs::path& target,
                std::ostream& err) {
  cnt::UniqueFile out = Create(target, err);
  if (!out) {
    return false;
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size()) {
    err << "bidx: cannot write " << target.string() << ": " << std::strerror(errno) << "\n";
    return false;
  }
  return Close(std::move(out), target, err);
}

bool WritePem(const std::vector<unsigned char>& der, const fs::path& target, std::ostream& err) {
  cnt::UniqueX509 cert = cnt::ParseCertificate(der);
  if (!cert) {
    err << "bidx: cannot write " << target.string() << ": the certificate is malformed\n";
    return false;
  }
  cnt::UniqueFile out = Create(target, err);
  if (!out) {
    return false;
  }
  const bool written = PEM_write_X509(out.get(), cert.get()) == 1;
  ERR_clear_error();
  if (!written) {
    err << "bidx: cannot write " << target.string() << "\n";
    return false;
  }
  return Close(std::move(out), target, err);
}

// For the SM2 form, which OpenSSL 3.0's cms command cannot verify, the two
// inputs of a plain signature check: the signed attributes as the SET that
// is signed, and the SM2 signature. True when there is nothing to write.
bool WriteSm2Parts(const cnt::ContainerContents& c, const fs::path& folder, std::ostream& out,
                   std::ostream& err) {
  cnt::UniqueX509 cert = cnt::ParseCertificate(c.certificate);
  cnt::SignerFields fields;
  if (!cert || cnt::CheckSignatureForm(c.signature, cert.get(), &fields) != cnt::kOk ||
      fields.kind != cnt::SignatureKind::kSm2) {
    return true;
  }
  std::vector<unsigned char> set(fields.signed_attributes.begin(), fields.signed_attributes.end());
  set[0] = 0x31;  // [0] IMPLICIT becomes the SET that the signature covers
  if (!WriteBytes(set, folder / "attrs.der", err) ||
      !WriteBytes({fields.signature.begin(), fields.signature.end()}, folder / "sm2sig.der", err)) {
    return false;
  }
  out << "wrote " << (folder / "attrs.der").string() << " (the signed attributes, SM2 form)\n"
      << "wrote " << (folder / "sm2sig.der").string() << " (the SM2 signature over them)\n";
  return true;
}

}  // namespace

bool ExtractContainer(const std::string& path, const cnt::ContainerContents& c,
                      const std::string& dir, std::ostream& out, std::ostream& err) {
  const fs::path folder(dir);
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    err << "bidx: cannot create the folder " << dir << ": " << ec.message() << "\n";
    return false;
  }
  const std::uint64_t payload_at = cnt::kHeaderSize + c.custom_data.size();
  if (!CopyRange(path, 0, c.signed_length, folder / "signed.bin", err) ||
      !WriteBytes(c.signature, folder / "sig.der", err) ||
      !WritePem(c.certificate, folder / "signer.pem", err) ||
      !CopyRange(path, payload_at, c.header.payload_length, folder / "payload.bin", err)) {
    return false;
  }
  const auto said = [&](const char* name, const std::string& what) {
    out << "wrote " << (folder / name).string() << " (" << what << ")\n";
  };
  said("signed.bin",
       std::to_string(c.signed_length) + " bytes: the signed bytes, header to certificate");
  said("sig.der", std::to_string(c.signature.size()) + " bytes: the CMS signature");
  said("signer.pem", "the embedded certificate");
  said("payload.bin", std::to_string(c.header.payload_length) + " bytes: the payload");
  return WriteSm2Parts(c, folder, out, err);
}

}  // namespace brevalt::bidx
