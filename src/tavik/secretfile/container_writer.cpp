#include "tavik/secretfile/container_writer.h"

#include <openssl/cms.h>
#include <openssl/err.h>

#include <cstdio>

#include "tavik/secretfile/container_errors.h"
#include "tavik/secretfile/container_format.h"
#include "tavik/secretfile/ecdsa_low_s.h"
#include "tavik/secretfile/file_input.h"
#include "tavik/secretfile/sm2_signed_data.h"
#include "tavik/sm2/sm2_signature.h"

namespace brevalt::container {

namespace {

bool WriteAll(std::FILE* out, const unsigned char* data, std::size_t size) {
  return size == 0 || std::fwrite(data, 1, size, out) == size;
}

// Copies the payload file to `out`; its size was taken when it was opened.
int CopyPayload(std::FILE* payload, std::uint64_t size, std::FILE* out) {
  std::vector<unsigned char> buffer(kIoBufferSize);
  bool write_ok = true;
  const bool read_ok = StreamBytes(payload, size, buffer, [&](const unsigned char* d, size_t n) {
    write_ok = WriteAll(out, d, n);
    return write_ok;
  });
  if (!write_ok) {
    return kFileWriteFailed;
  }
  return read_ok ? kOk : kFileReadFailed;
}

// Writes every signed part of the container.
int WriteSignedPart(std::FILE* out, const SealInput& input) {
  ContainerHeader header;
  header.total_openers = input.total_openers;
  header.min_openers = input.min_openers;
  header.custom_length = input.custom_data.size();
  header.cert_length = input.certificate.size();
  UniqueFile payload;
  if (!input.payload_path.empty()) {
    payload = OpenRegularFile(input.payload_path, &header.payload_length);
    if (!payload) {
      return kFileOpenFailed;
    }
  }
  const HeaderBytes bytes = EncodeHeader(header);
  if (!WriteAll(out, bytes.data(), bytes.size()) ||
      !WriteAll(out, input.custom_data.data(), input.custom_data.size())) {
    return kFileWriteFailed;
  }
  if (payload) {
    if (int rc = CopyPayload(payload.get(), header.payload_length, out); rc != kOk) {
      return rc;
    }
  }
  if (!WriteAll(out, input.certificate.data(), input.certificate.size()) || std::fflush(out) != 0) {
    return kFileWriteFailed;
  }
  return kOk;
}

// An ECDSA signature goes out in its low-s form, the only one the reader takes.
bool NormaliseSignature(CMS_ContentInfo* cms, EVP_PKEY* key) {
  if (EVP_PKEY_get_base_id(key) != EVP_PKEY_EC) {
    return true;
  }
  CMS_SignerInfo* si = sk_CMS_SignerInfo_value(CMS_get0_SignerInfos(cms), 0);
  return si != nullptr && MakeLowS(key, CMS_SignerInfo_get0_signature(si));
}

// Signs the file at `path` as it stands (the signed part) into DER CMS:
// OpenSSL's CMS for RSA and ECDSA, our own SM2 form for SM2.
int SignFile(const std::string& path, const SealInput& input, std::vector<unsigned char>* der) {
  if (sm2::IsSm2Key(input.signing_key)) {
    return SignSm2(path, input.signing_cert, input.signing_key, der);
  }
  constexpr unsigned int kFlags = CMS_BINARY | CMS_DETACHED | CMS_NOCERTS | CMS_PARTIAL;
  UniqueBio content(BIO_new_file(path.c_str(), "rb"));
  UniqueCms cms(CMS_sign(nullptr, nullptr, nullptr, nullptr, kFlags));
  if (!content || !cms ||
      CMS_add1_signer(cms.get(), input.signing_cert, input.signing_key, EVP_sha256(), kFlags) ==
          nullptr ||
      CMS_final(cms.get(), content.get(), nullptr, kFlags & ~CMS_PARTIAL) != 1 ||
      !NormaliseSignature(cms.get(), input.signing_key)) {
    return kSigningFailed;
  }
  const int size = i2d_CMS_ContentInfo(cms.get(), nullptr);
  if (size <= 0 || static_cast<std::uint64_t>(size) > kMaxSignature) {
    return kSigningFailed;
  }
  der->resize(static_cast<std::size_t>(size));
  unsigned char* p = der->data();
  return i2d_CMS_ContentInfo(cms.get(), &p) == size ? kOk : kSigningFailed;
}

int WriteContainer(const std::string& part_path, const SealInput& input) {
  UniqueFile out(std::fopen(part_path.c_str(), "wb"));
  if (!out) {
    return kFileWriteFailed;
  }
  if (int rc = WriteSignedPart(out.get(), input); rc != kOk) {
    return rc;
  }
  std::vector<unsigned char> signature;
  if (int rc = SignFile(part_path, input, &signature); rc != kOk) {
    return rc;
  }
  unsigned char field[kSignatureLengthSize];
  StoreBigEndian32(static_cast<std::uint32_t>(signature.size()), field);
  if (!WriteAll(out.get(), field, sizeof field) ||
      !WriteAll(out.get(), signature.data(), signature.size()) || std::fclose(out.release()) != 0) {
    return kFileWriteFailed;
  }
  return kOk;
}

}  // namespace

int SealContainer(const std::string& out_path, const SealInput& input) {
  if (input.custom_data.size() > kMaxCustomData || input.certificate.size() > kMaxCertificate) {
    return kLengthOutOfRange;
  }
  if (input.signing_cert == nullptr || input.signing_key == nullptr) {
    return kSigningFailed;
  }
  const std::string part_path = out_path + ".part";
  int rc = WriteContainer(part_path, input);
  if (rc == kOk && std::rename(part_path.c_str(), out_path.c_str()) != 0) {
    rc = kFileWriteFailed;
  }
  if (rc != kOk) {
    std::remove(part_path.c_str());
  }
  ERR_clear_error();
  return rc;
}

}  // namespace brevalt::container
