// Sets an environment variable for one scope, so that no test touches the
// real per-user configuration or leaves its time zone behind.
#ifndef BREVALT_TESTS_SUPPORT_SCOPED_ENV_H
#define BREVALT_TESTS_SUPPORT_SCOPED_ENV_H

#include <stdlib.h>

#include <ctime>
#include <optional>
#include <string>

namespace brevalt::testing {

// Sets (or, for nullopt, unsets) the variable and restores the previous value
// on destruction. A change of TZ takes effect at once (tzset).
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

}  // namespace brevalt::testing

#endif  // BREVALT_TESTS_SUPPORT_SCOPED_ENV_H
