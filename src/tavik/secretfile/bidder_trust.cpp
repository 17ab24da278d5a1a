#include "tavik/secretfile/bidder_trust.h"

#include <openssl/err.h>
#include <openssl/x509v3.h>

#include "platform/user_folder.h"
#include "tavik/anchors/pem_folder.h"
#include "tavik/secretfile/container_signature.h"
#include "tavik/sm2/sm2_chain.h"

namespace brevalt::container {

namespace {

using UniqueStore = std::unique_ptr<X509_STORE, ReleaseWith<X509_STORE_free>>;
using UniqueStoreCtx = std::unique_ptr<X509_STORE_CTX, ReleaseWith<X509_STORE_CTX_free>>;

// The anchors in `folder`. Present when a "*.pem" file is there, readable or
// not, or when the folder exists but cannot be listed: either may hold
// anchors, so the check is made, and refuses, rather than let every signer
// pass unchecked.
struct Anchors {
  bool present = false;
  std::vector<UniqueX509> certificates;
};

Anchors LoadAnchors(const std::string& folder) {
  anchors::PemFolder found = anchors::ReadPemFolder(folder);
  return {found.has_pem_file || found.unlistable, std::move(found.certificates)};
}

std::string SubjectText(X509* cert) {
  UniqueBio bio(BIO_new(BIO_s_mem()));
  char* data = nullptr;
  if (!bio || X509_NAME_print_ex(bio.get(), X509_get_subject_name(cert), 0,
                                 XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) < 0) {
    return {};
  }
  const long size = BIO_get_mem_data(bio.get(), &data);
  return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

bool AllowsSignatures(X509* cert) {
  return (X509_get_key_usage(cert) & (KU_DIGITAL_SIGNATURE | KU_NON_REPUDIATION)) != 0;
}

// Builds the chain from `signer` to one of `anchors`; any anchor may end it,
// a CA's own or an intermediate, and no validity period is judged. Links
// signed with SM2 are checked under the standard identifier.
BidderChain BuildChain(X509* signer, const Anchors& anchors) {
  UniqueStore store(X509_STORE_new());
  UniqueStoreCtx ctx(X509_STORE_CTX_new());
  if (!store || !ctx) {
    return {ChainStatus::kRefused, "out of memory"};
  }
  for (const UniqueX509& anchor : anchors.certificates) {
    X509_STORE_add_cert(store.get(), anchor.get());
  }
  if (X509_STORE_CTX_init(ctx.get(), store.get(), signer, nullptr) != 1) {
    return {ChainStatus::kRefused, "out of memory"};
  }
  X509_VERIFY_PARAM_set_flags(X509_STORE_CTX_get0_param(ctx.get()),
                              X509_V_FLAG_NO_CHECK_TIME | X509_V_FLAG_PARTIAL_CHAIN);
  X509_STORE_CTX_set_verify_cb(ctx.get(), sm2::AcceptStandardSm2Links);
  if (X509_verify_cert(ctx.get()) != 1) {
    return {ChainStatus::kRefused,
            X509_verify_cert_error_string(X509_STORE_CTX_get_error(ctx.get()))};
  }
  STACK_OF(X509)* chain = X509_STORE_CTX_get0_chain(ctx.get());
  return {ChainStatus::kVerified, SubjectText(sk_X509_value(chain, sk_X509_num(chain) - 1))};
}

}  // namespace

std::string BidderTrustFolder() {
  return ToNativePath(GetTrustFolder(u"bidder"));
}

BidderChain CheckBidderChain(X509* signer, const std::string& folder) {
  const Anchors anchors = LoadAnchors(folder);
  BidderChain result;
  if (!anchors.present) {
    result = {ChainStatus::kUnchecked, "no bidder trust anchors"};
  } else if (anchors.certificates.empty()) {
    result = {ChainStatus::kRefused,
              "no certificate could be read from the PEM files in " + folder};
  } else if (!AllowsSignatures(signer)) {
    result = {ChainStatus::kRefused, "its key usage does not allow digital signatures"};
  } else {
    result = BuildChain(signer, anchors);
  }
  ERR_clear_error();
  return result;
}

BidderChain CheckBidderChain(const std::vector<unsigned char>& certificate_der) {
  UniqueX509 cert = ParseCertificate(certificate_der);
  if (!cert) {
    return {ChainStatus::kRefused, "the certificate is malformed"};
  }
  return CheckBidderChain(cert.get(), BidderTrustFolder());
}

const char* ChainStatusName(ChainStatus status) {
  switch (status) {
    case ChainStatus::kVerified:
      return "verified";
    case ChainStatus::kUnchecked:
      return "unchecked";
    case ChainStatus::kRefused:
      break;
  }
  return "refused";
}

}  // namespace brevalt::container
