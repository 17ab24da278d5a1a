// The trust-anchor folder reader: which entries count as PEM files, which
// certificates come back, and when a folder is unlistable.
#include "tavik/anchors/pem_folder.h"

#include <gtest/gtest.h>
#include <openssl/objects.h>

#include <filesystem>
#include <string>

#include "support/temp_folder.h"
#include "tavik/pki/test_certs.h"

namespace brevalt::anchors {
namespace {

using testing::TempFolder;

std::string PemOf(const std::string& common_name) {
  return testing::DerToPem(testing::MakeTestCertDer({common_name, "", 0}));
}

std::string CommonName(const X509Ptr& cert) {
  char text[64] = {};
  X509_NAME_get_text_by_NID(X509_get_subject_name(cert.get()), NID_commonName, text, sizeof text);
  return text;
}

TEST(ReadPemFolder, ReadsTheCertificatesOfEveryReadablePemFileInNameOrder) {
  TempFolder folder;
  folder.Write("b.pem", "comment\n" + PemOf("B1") + "between\n" + PemOf("B2"));
  folder.Write("A.PEM", PemOf("A"));
  folder.Write("ca.txt", PemOf("not an anchor file name"));
  folder.Write("sub.pem/inner.pem", PemOf("in a subfolder"));
  folder.Write("big.pem", PemOf("too large") + std::string(kMaxPemFileBytes, '\n'));
  const PemFolder found = ReadPemFolder(folder.path());
  EXPECT_TRUE(found.has_pem_file);
  EXPECT_FALSE(found.unlistable);
  ASSERT_EQ(found.certificates.size(), 3u);
  EXPECT_EQ(CommonName(found.certificates[0]), "A");
  EXPECT_EQ(CommonName(found.certificates[1]), "B1");
  EXPECT_EQ(CommonName(found.certificates[2]), "B2");
}

// What a caller needs to tell "no anchors placed" from "anchors it could not
// read": a PEM name counts even without a certificate; only a missing folder
// is not unlistable.
TEST(ReadPemFolder, ReportsPemFilesAndUnlistableFolders) {
  TempFolder root;
  root.Write("no-pem/ca.txt", PemOf("CA"));
  std::filesystem::create_directories(root.path() + "/no-pem/dir.pem");
  root.Write("broken/broken.Pem", "-----BEGIN CERTIFICATE-----\n");
  const std::string file = root.Write("a-file", PemOf("CA"));
  const struct {
    const char* name;
    std::string folder;
    bool has_pem_file;
    bool unlistable;
  } rows[] = {
      {"empty path", "", false, false},
      {"missing folder", root.path() + "/missing", false, false},
      {"no PEM name, a folder named like one", root.path() + "/no-pem", false, false},
      {"PEM file without a certificate", root.path() + "/broken", true, false},
      {"a file, not a folder", file, false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const PemFolder found = ReadPemFolder(row.folder);
    EXPECT_EQ(found.has_pem_file, row.has_pem_file);
    EXPECT_EQ(found.unlistable, row.unlistable);
    EXPECT_TRUE(found.certificates.empty());
  }
}

// Debian's usual names: ".crt" holding PEM, ".cer" holding DER; each file is
// listed with what became of it.
TEST(ReadPemFolder, AcceptsCrtAndCerFilesAndSaysWhatEachGave) {
  TempFolder folder;
  folder.Write("a.crt", PemOf("A"));
  const auto der = testing::MakeTestCertDer({"B", "", 0});
  folder.Write("b.CER", std::string(der.begin(), der.end()));
  folder.Write("c.cer", "neither PEM nor DER");
  folder.Write("d.pem", PemOf("D1") + PemOf("D2"));
  const PemFolder found = ReadPemFolder(folder.path());
  ASSERT_EQ(found.certificates.size(), 4u);
  EXPECT_EQ(CommonName(found.certificates[1]), "B");
  EXPECT_EQ(AnchorFilesText(found),
            "a.crt: 1 certificate; b.CER: 1 certificate; c.cer: refused, holds no certificate; "
            "d.pem: 2 certificates");
  EXPECT_EQ(AnchorFilesText(ReadPemFolder(folder.path() + "/missing")), "none");
}

}  // namespace
}  // namespace brevalt::anchors
