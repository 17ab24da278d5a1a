#include "devserver/server_options.h"

#include <charconv>
#include <cstdint>
#include <string_view>

namespace brevalt::devserver {
namespace {

template <typename T>
bool ParseNumber(std::string_view text, T min, T max, T* out) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) {
    return false;
  }
  *out = value;
  return true;
}

bool ApplyOption(std::string_view name, std::string_view value, ServerOptions* out) {
  if (name == "--port") {
    return ParseNumber(value, 0, 65535, &out->port);
  }
  if (name == "--host") {
    out->host = value;
    return !value.empty();
  }
  if (name == "--clock-offset") {
    return ParseNumber<int64_t>(value, -(int64_t{1} << 40), int64_t{1} << 40,
                                &out->tsa.clock_offset_seconds);
  }
  if (name == "--status") {
    return ParseNumber(value, 0, 5, &out->tsa.status);
  }
  if (name == "--delay-ms") {
    return ParseNumber(value, 0, 3600 * 1000, &out->tsa.delay_ms);
  }
  if (name == "--tsa-cert") {
    out->tsa.cert_path = value;
    return !value.empty();
  }
  if (name == "--tsa-key") {
    out->tsa.key_path = value;
    return !value.empty();
  }
  return false;
}

}  // namespace

bool ParseServerOptions(std::span<const char* const> args, ServerOptions* out, std::string* error) {
  for (size_t i = 0; i < args.size(); i += 2) {
    const std::string_view name(args[i]);
    if (i + 1 >= args.size()) {
      *error = "missing value after " + std::string(name);
      return false;
    }
    if (!ApplyOption(name, args[i + 1], out)) {
      *error = "bad option or value: " + std::string(name) + " " + args[i + 1];
      return false;
    }
  }
  if (out->tsa.cert_path.empty() != out->tsa.key_path.empty()) {
    *error = "--tsa-cert and --tsa-key go together";
    return false;
  }
  return true;
}

}  // namespace brevalt::devserver
