// Test helpers: a temporary environment variable and a private settings file.
#ifndef BREVALT_TESTS_TIMESTAMP_TEST_ENV_H
#define BREVALT_TESTS_TIMESTAMP_TEST_ENV_H

#include <stdlib.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace brevalt::testing {

// Sets (or with nullopt unsets) an environment variable and restores the
// previous value on destruction; TZ changes take effect at once (tzset).
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = getenv(name))
      old_ = old;
    Apply(value);
  }
  ~ScopedEnv() { Apply(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Apply(const std::optional<std::string>& value) {
    if (value)
      setenv(name_.c_str(), value->c_str(), 1);
    else
      unsetenv(name_.c_str());
    tzset();
  }
  std::string name_;
  std::optional<std::string> old_;
};

// A temporary XDG_CONFIG_HOME for one test, removed afterwards. The real
// user folder is never touched.
class ScopedSettings {
 public:
  ScopedSettings() : root_(MakeRoot()), env_("XDG_CONFIG_HOME", root_.string()) {}
  ~ScopedSettings() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  ScopedSettings(const ScopedSettings&) = delete;
  ScopedSettings& operator=(const ScopedSettings&) = delete;

  // Writes <root>/TAVIK/qzv/Setting.ini with exactly this content.
  void Write(const std::string& content) const {
    const std::filesystem::path folder = root_ / "TAVIK" / "qzv";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Setting.ini", std::ios::binary) << content;
  }
  // A settings file whose [TimeStampURL] url is this value.
  void WriteTimeStampUrl(const std::string& url) const {
    Write("[TimeStampURL]\r\nurl=" + url + "\r\n");
  }

 private:
  static std::filesystem::path MakeRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brevalt-ts-XXXXXX").string();
    // Without a private folder the tests would reach the real one: stop.
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    return pattern;
  }
  std::filesystem::path root_;
  ScopedEnv env_;
};

}  // namespace brevalt::testing

#endif  // BREVALT_TESTS_TIMESTAMP_TEST_ENV_H
