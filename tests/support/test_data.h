// Third-party data the tests read from tests/data (see tests/data/README.md).
#ifndef BREVALT_TESTS_SUPPORT_TEST_DATA_H
#define BREVALT_TESTS_SUPPORT_TEST_DATA_H

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace brevalt::testing {

// The full path of a file under tests/data, e.g. "rfc3161/freetsa_cacert.pem".
inline std::string TestDataPath(const std::string& relative) {
  return std::string(BREVALT_TESTDATA_DIR) + "/" + relative;
}

// The bytes of a file under tests/data. A missing or empty file throws, so
// the test fails at once with the path in its message instead of going on
// with no bytes (GoogleTest reports the exception as the test's failure).
inline std::vector<unsigned char> ReadTestData(const std::string& relative) {
  const std::string path = TestDataPath(relative);
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bytes(std::istreambuf_iterator<char>(in), {});
  if (!in.is_open() || bytes.empty())
    throw std::runtime_error("missing test data file: " + path);
  return bytes;
}

}  // namespace brevalt::testing

#endif  // BREVALT_TESTS_SUPPORT_TEST_DATA_H
