// A private per-user data folder for one test: XDG_CONFIG_HOME points at a
// temporary folder, so the real Setting.ini is never read or touched.
#ifndef BREVALT_TESTS_SUPPORT_SCOPED_SETTINGS_H
#define BREVALT_TESTS_SUPPORT_SCOPED_SETTINGS_H

#include <string>

#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace brevalt::testing {

class ScopedSettings {
 public:
  ScopedSettings() : env_("XDG_CONFIG_HOME", root_.path()) {}

  // Writes <root>/TAVIK/qzv/Setting.ini with exactly this content.
  void Write(const std::string& content) const { root_.Write("TAVIK/qzv/Setting.ini", content); }
  // A settings file whose [TimeStampURL] url is this value.
  void WriteTimeStampUrl(const std::string& url) const {
    Write("[TimeStampURL]\r\nurl=" + url + "\r\n");
  }
  const std::string& root() const { return root_.path(); }

 private:
  TempFolder root_;
  ScopedEnv env_;
};

}  // namespace brevalt::testing

#endif  // BREVALT_TESTS_SUPPORT_SCOPED_SETTINGS_H
