// Test certificates made on the spot with OpenSSL.
#ifndef BREVALT_TESTS_PLATFORM_PKI_TEST_CERTS_H
#define BREVALT_TESTS_PLATFORM_PKI_TEST_CERTS_H

#include <ctime>
#include <string>
#include <vector>

namespace brevalt::testing {

struct TestCertSpec {
  std::string common_name;   // UTF-8; empty: no CN entry
  std::string organisation;  // UTF-8; empty: no O entry
  time_t not_after = 0;      // 0: one year from now
};

// A self-signed EC P-256 certificate as DER; empty on failure.
std::vector<unsigned char> MakeTestCertDer(const TestCertSpec& spec);

// The same certificate together with its private key, for tests that sign.
struct TestSigner {
  std::vector<unsigned char> cert_der;  // empty on failure
  std::string key_pem;                  // PKCS#8, unencrypted
};
TestSigner MakeTestSigner(const TestCertSpec& spec);

// PEM text of a DER certificate.
std::string DerToPem(const std::vector<unsigned char>& der);

// Base64 of bytes, broken into lines of line_length characters by separator.
std::string ToBase64(const std::vector<unsigned char>& bytes, size_t line_length,
                     const std::string& separator);

}  // namespace brevalt::testing

#endif  // BREVALT_TESTS_PLATFORM_PKI_TEST_CERTS_H
