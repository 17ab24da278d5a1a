#include "tavik/secretfile/test_bid.h"

#include <openssl/cms.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tavik/secretfile/container_format.h"
#include "tavik/secretfile/container_reader.h"
#include "tavik/secretfile/container_signature.h"
#include "tavik/secretfile/container_writer.h"
#include "tavik/secretfile/ecdsa_low_s.h"
#include "tavik/secretfile/signature_form.h"
#include "tools/bidx/key_files.h"

namespace brevalt::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "brevalt-h4-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp failed");
  }
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

Bytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Bytes BytesOf(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

const bidx::Signer& SharedSigner() {
  static const bidx::Signer signer =
      bidx::MakeSelfSignedSigner(bidx::KeyKind::kEcP256, "投标人甲", 1001);
  return signer;
}

const bidx::Signer& SharedSm2Signer() {
  static const bidx::Signer signer =
      bidx::MakeSelfSignedSigner(bidx::KeyKind::kSm2, "投标人乙", 1002);
  return signer;
}

int SealBid(const std::filesystem::path& path, const BidParts& parts, const bidx::Signer& signer) {
  const std::filesystem::path payload = path.string() + ".payload";
  WriteBytes(payload, parts.payload);
  container::SealInput input;
  input.total_openers = parts.total;
  input.min_openers = parts.min;
  input.custom_data = parts.custom_data;
  input.payload_path = payload.string();
  input.certificate = bidx::CertificateDer(signer.cert.get());
  input.signing_cert = signer.cert.get();
  input.signing_key = signer.key.get();
  const int rc = container::SealContainer(path.string(), input);
  std::filesystem::remove(payload);
  return rc;
}

namespace {

// Puts the ECDSA signature of the one signer in its low-s or high-s form.
bool ChooseS(CMS_ContentInfo* cms, EVP_PKEY* key, bool high_s) {
  if (EVP_PKEY_get_base_id(key) != EVP_PKEY_EC) {
    return true;
  }
  auto* signature =
      CMS_SignerInfo_get0_signature(sk_CMS_SignerInfo_value(CMS_get0_SignerInfos(cms), 0));
  return container::MakeLowS(key, signature) && (!high_s || container::MirrorS(key, signature));
}

}  // namespace

SignerParts SignerOf(const std::filesystem::path& path) {
  container::ContainerContents contents;
  container::SignerFields fields;
  const container::UniqueX509 cert = container::ReadContainer(path.string(), &contents) == 0
                                         ? container::ParseCertificate(contents.certificate)
                                         : nullptr;
  if (!cert || container::CheckSignatureForm(contents.signature, cert.get(), &fields) != 0) {
    throw std::runtime_error("SignerOf needs a container in the sealer's form");
  }
  SignerParts parts{Bytes(fields.signed_attributes.begin(), fields.signed_attributes.end()),
                    Bytes(fields.signature.begin(), fields.signature.end())};
  parts.attributes.at(0) = 0x31;
  return parts;
}

void ReplaceSignature(const std::filesystem::path& path, const Bytes& der) {
  container::ContainerContents contents;
  if (container::ReadContainer(path.string(), &contents) != 0) {
    throw std::runtime_error("ReplaceSignature needs a well-formed container");
  }
  Bytes file = ReadBytes(path);
  file.resize(static_cast<std::size_t>(contents.signed_length) + 4);
  container::StoreBigEndian32(static_cast<std::uint32_t>(der.size()), &file[file.size() - 4]);
  file.insert(file.end(), der.begin(), der.end());
  WriteBytes(path, file);
}

void Resign(const std::filesystem::path& path, X509* cert, EVP_PKEY* key, const EVP_MD* md,
            unsigned int flags, bool mirror_s) {
  container::ContainerContents contents;
  if (container::ReadContainer(path.string(), &contents) != 0) {
    throw std::runtime_error("Resign needs a well-formed container");
  }
  Bytes file = ReadBytes(path);
  file.resize(static_cast<std::size_t>(contents.signed_length));
  flags |= CMS_DETACHED | CMS_BINARY | CMS_PARTIAL;
  container::UniqueBio data(BIO_new_mem_buf(file.data(), static_cast<int>(file.size())));
  container::UniqueCms cms(CMS_sign(nullptr, nullptr, nullptr, nullptr, flags));
  if (!cms || CMS_add1_signer(cms.get(), cert, key, md, flags) == nullptr ||
      CMS_final(cms.get(), data.get(), nullptr, flags & ~CMS_PARTIAL) != 1 ||
      !ChooseS(cms.get(), key, mirror_s)) {
    throw std::runtime_error("CMS signing failed");
  }
  Bytes signature(static_cast<std::size_t>(i2d_CMS_ContentInfo(cms.get(), nullptr)));
  unsigned char* p = signature.data();
  i2d_CMS_ContentInfo(cms.get(), &p);
  ReplaceSignature(path, signature);
}

}  // namespace brevalt::testing
