#include "tavik/pki/ts_trust.h"

#include <gtest/gtest.h>
#include <openssl/objects.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "support/scoped_env.h"
#include "support/scoped_settings.h"
#include "support/temp_folder.h"
#include "tavik/pki/test_tsa.h"
#include "tavik/pki/ts_response.h"

namespace brevalt::pki {
namespace {

using testing::IssueTestCert;
using testing::TestIdentity;
using testing::Usage;

// True when an answer signed by tsa counts against the store.
bool AcceptedBy(const TestIdentity& tsa, const StorePtr& store) {
  const std::vector<unsigned char> imprint(32, 1);
  const std::vector<unsigned char> answer =
      testing::ForgeTimeStampResponse(tsa, {}, {NID_sha256, imprint, 9});
  return store && ValidateTimeStampResponse(answer, {NID_sha256, imprint, 9}, store.get(),
                                            nullptr) == ResponseCheck::kOk;
}

// True when an answer signed by tsa counts against the anchors loaded from
// the folder.
bool Accepted(const TestIdentity& tsa, const std::u16string& folder) {
  return AcceptedBy(tsa, LoadTimeStampTrust(folder));
}

// An authority issued by ca.
TestIdentity Under(const TestIdentity& ca) {
  return IssueTestCert(ca, "TSA", Usage::kTimeStamping);
}

TEST(TsTrustFolder, EveryCertificateOfEveryPemFileIsAnAnchor) {
  testing::ScopedSettings settings;
  const std::u16string folder = TimeStampTrustFolder();
  EXPECT_EQ(folder, DecodeCodePage(settings.root() + "/TAVIK/qzv/trust/tsa", CodePage::kUtf8));
  const TestIdentity first = testing::MakeTestCa("First CA");
  const TestIdentity second = testing::MakeTestCa("Second CA");
  const TestIdentity absent = testing::MakeTestCa("Absent CA");
  const TestIdentity not_pem = testing::MakeTestCa("Not PEM CA");
  const TestIdentity own = Under(absent);  // trusted by its own certificate
  EXPECT_FALSE(Accepted(Under(first), folder)) << "no folder: only this machine's CA store";
  const std::string dir = settings.root() + "/TAVIK/qzv/trust/tsa/";
  std::filesystem::create_directories(dir + "subfolder");
  std::ofstream(dir + "two.pem") << "comment\n"
                                 << testing::CertToPem(first.cert.get()) << "between\n"
                                 << testing::CertToPem(second.cert.get());
  std::ofstream(dir + "subfolder/absent.pem") << testing::CertToPem(absent.cert.get());
  std::ofstream(dir + "ca.txt") << testing::CertToPem(not_pem.cert.get());
  std::ofstream(dir + "TSA.PEM") << testing::CertToPem(own.cert.get());
  ASSERT_EQ(mkfifo((dir + "fifo.pem").c_str(), 0600), 0);  // must not hang the load
  EXPECT_TRUE(Accepted(Under(first), folder));
  EXPECT_TRUE(Accepted(Under(second), folder));
  EXPECT_TRUE(Accepted(own, folder));
  EXPECT_FALSE(Accepted(Under(absent), folder));
  EXPECT_FALSE(Accepted(Under(not_pem), folder));
}

// The shared store is kept while nothing changes, and rebuilt as soon as an
// anchor file is added, replaced (even by one of the same size and time) or
// removed.
TEST(TsTrustFolder, SharedStoreFollowsTheFolder) {
  testing::ScopedSettings settings;
  const std::string dir = settings.root() + "/TAVIK/qzv/trust/tsa/";
  std::filesystem::create_directories(dir);
  const TestIdentity ca = testing::MakeTestCa("Added CA");
  const StorePtr before = SharedTimeStampTrust();
  EXPECT_EQ(SharedTimeStampTrust().get(), before.get()) << "nothing changed: the same store";
  EXPECT_FALSE(AcceptedBy(Under(ca), before));
  auto write_padded = [&](const TestIdentity& anchor) {  // always the same size
    std::string pem = testing::CertToPem(anchor.cert.get());
    pem.resize(4096, '\n');
    std::ofstream(dir + "added.pem") << pem;
  };
  write_padded(ca);
  const StorePtr added = SharedTimeStampTrust();
  EXPECT_TRUE(AcceptedBy(Under(ca), added));
  EXPECT_EQ(SharedTimeStampTrust().get(), added.get());
  const TestIdentity twin = testing::MakeTestCa("Other CA");
  const auto written = std::filesystem::last_write_time(dir + "added.pem");
  write_padded(twin);
  std::filesystem::last_write_time(dir + "added.pem", written);
  EXPECT_TRUE(AcceptedBy(Under(twin), SharedTimeStampTrust()));
  EXPECT_FALSE(AcceptedBy(Under(ca), SharedTimeStampTrust()));
  std::filesystem::remove(dir + "added.pem");
  EXPECT_FALSE(AcceptedBy(Under(ca), SharedTimeStampTrust()));
}

// The machine's CA store: a CA in a hashed CA folder is found when a chain
// needs it; the bundle file counts when SSL_CERT_FILE names it, and the CA
// folder's files count only under hashed names.
TEST(TsTrustSystem, HashedCaFolderAndBundleFile) {
  testing::ScopedSettings settings;  // an empty per-user trust folder
  testing::TempFolder system;
  const TestIdentity folder_ca = testing::MakeTestCa("Folder CA");
  const TestIdentity bundle_ca = testing::MakeTestCa("Bundle CA");
  char hashed[16];
  std::snprintf(
      hashed, sizeof hashed, "%08lx.0",
      X509_NAME_hash_ex(X509_get_subject_name(folder_ca.cert.get()), nullptr, nullptr, nullptr));
  const std::string pem = testing::CertToPem(folder_ca.cert.get());
  system.Write(std::string("hashed/") + hashed, pem);
  system.Write("plain/folder-ca.pem", pem);
  const std::string bundle = system.Write("bundle.pem", testing::CertToPem(bundle_ca.cert.get()));
  const struct {
    std::string dir;
    std::optional<std::string> file;
    bool folder_ca_trusted, bundle_ca_trusted;
  } rows[] = {{"hashed", bundle, true, true},
              {"plain", bundle, false, true},
              {"hashed", std::nullopt, true, false}};
  for (const auto& row : rows) {
    testing::ScopedEnv dir("SSL_CERT_DIR", system.path() + "/" + row.dir);
    testing::ScopedEnv file("SSL_CERT_FILE", row.file);
    const StorePtr store = LoadTimeStampTrust(TimeStampTrustFolder());
    EXPECT_EQ(AcceptedBy(Under(folder_ca), store), row.folder_ca_trusted) << row.dir;
    EXPECT_EQ(AcceptedBy(Under(bundle_ca), store), row.bundle_ca_trusted) << row.dir;
  }
}

}  // namespace
}  // namespace brevalt::pki
