// Checking a stored answer as a file's receipt: which imprint digests count.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>
#include <vector>

#include "support/trust_folder.h"
#include "tavik/pki/test_tsa.h"
#include "tavik/tavik_pki.h"

namespace brevalt {
namespace {

TEST(ReceiptImprint, OnlyTheDigestsWeAskWithAreHonoured) {
  testing::ScopedSettings settings;
  const testing::TestIdentity ca = testing::MakeTestCa("Receipt CA");
  const testing::TestIdentity tsa = IssueTestCert(ca, "TSA", testing::Usage::kTimeStamping);
  testing::WriteTrustAnchor(settings, "tsa", "ca.pem", testing::CertToPem(ca.cert.get()));
  const std::string log = "    2、时间戳时间：2026-12-09 12:30:05\n";
  const struct {
    const EVP_MD* md;
    int reason;     // 0: valid
    int algorithm;  // reported when valid
  } rows[] = {{EVP_sha256(), 0, TAVIK_HASH_TIMESTAMP},
              {EVP_sm3(), 0, TAVIK_HASH_SM3},
              {EVP_md5(), TAVIK_RECEIPT_WEAK_IMPRINT, 0},
              {EVP_sha1(), TAVIK_RECEIPT_WEAK_IMPRINT, 0}};
  for (const auto& row : rows) {
    std::vector<unsigned char> imprint(EVP_MAX_MD_SIZE);
    unsigned int size = 0;
    EVP_Digest(log.data(), log.size(), imprint.data(), &size, row.md, nullptr);
    imprint.resize(size);
    const auto answer = ForgeTimeStampResponse(tsa, {}, {EVP_MD_type(row.md), imprint, 7});
    char *time = nullptr, *authority = nullptr;
    int algorithm = 0, reason = 0;
    const int rc = TavikPKIMsgTimeStampCheckReceipt(
        answer.data(), static_cast<int>(answer.size()),
        reinterpret_cast<const unsigned char*>(log.data()), static_cast<int>(log.size()), &time,
        &authority, &algorithm, &reason);
    EXPECT_EQ(rc == 1 ? 0 : reason, row.reason) << EVP_MD_get0_name(row.md);
    EXPECT_EQ(rc == 1 ? algorithm : 0, row.algorithm) << EVP_MD_get0_name(row.md);
    TavikPKICryptoFreeMemory(time);
    TavikPKICryptoFreeMemory(authority);
  }
}

}  // namespace
}  // namespace brevalt
