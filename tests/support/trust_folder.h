// Trust anchors in a test's private per-user data folder (see
// scoped_settings.h): <root>/TAVIK/qzv/trust/<kind>/<file>.
#ifndef BREVALT_TESTS_SUPPORT_TRUST_FOLDER_H
#define BREVALT_TESTS_SUPPORT_TRUST_FOLDER_H

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/scoped_settings.h"

namespace brevalt::testing {

// Writes pem as trust/<kind>/<file> ("tsa": time-stamp authorities) of the
// settings' folder and returns its path.
inline std::string WriteTrustAnchor(const ScopedSettings& settings, const std::string& kind,
                                    const std::string& file, const std::string& pem) {
  const std::filesystem::path path =
      std::filesystem::path(settings.root()) / "TAVIK" / "qzv" / "trust" / kind / file;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << pem;
  EXPECT_FALSE(pem.empty()) << "no certificate to trust in " << path;
  return path.string();
}

}  // namespace brevalt::testing

#endif  // BREVALT_TESTS_SUPPORT_TRUST_FOLDER_H
