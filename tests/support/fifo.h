// FIFOs for tests of code that must not block on one.
#ifndef BREVALT_TESTS_SUPPORT_FIFO_H
#define BREVALT_TESTS_SUPPORT_FIFO_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <string>

namespace brevalt::testing {

// Makes a FIFO at `path`; false when it cannot.
inline bool MakeFifo(const std::string& path) {
  return mkfifo(path.c_str(), 0600) == 0;
}

// Runs `call`, which is given the FIFO at `fifo`, and returns its result; or
// nullopt when it has not returned within two seconds. A blocked call is then
// released by opening the FIFO for writing, so a regression fails the test
// instead of hanging it.
template <typename Result>
std::optional<Result> WithoutBlocking(const std::string& fifo, std::function<Result()> call) {
  auto result = std::async(std::launch::async, std::move(call));
  if (result.wait_for(std::chrono::seconds(2)) == std::future_status::ready) {
    return result.get();
  }
  const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  if (writer >= 0) {
    close(writer);
  }
  result.wait();
  return std::nullopt;
}

}  // namespace brevalt::testing

#endif  // BREVALT_TESTS_SUPPORT_FIFO_H
