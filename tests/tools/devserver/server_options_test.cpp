#include "devserver/server_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brevalt::devserver {
namespace {

bool Parse(std::vector<const char*> args, ServerOptions* out) {
  std::string error;
  return ParseServerOptions(args, out, &error);
}

TEST(ServerOptions, ReadsEveryOption) {
  ServerOptions options;
  ASSERT_TRUE(Parse({"--port", "8080", "--host", "0.0.0.0", "--clock-offset", "-3600", "--status",
                     "2", "--delay-ms", "250", "--tsa-cert", "c.pem", "--tsa-key", "k.pem"},
                    &options));
  EXPECT_EQ(options.port, 8080);
  EXPECT_EQ(options.host, "0.0.0.0");
  EXPECT_EQ(options.tsa.clock_offset_seconds, -3600);
  EXPECT_EQ(options.tsa.status, 2);
  EXPECT_EQ(options.tsa.delay_ms, 250);
  EXPECT_EQ(options.tsa.cert_path, "c.pem");
  EXPECT_EQ(options.tsa.key_path, "k.pem");

  ServerOptions defaults;
  ASSERT_TRUE(Parse({}, &defaults));
  EXPECT_EQ(defaults.host, "127.0.0.1");
  EXPECT_EQ(defaults.port, 0);
}

TEST(ServerOptions, RefusesBadInput) {
  const std::vector<std::vector<const char*>> bad = {
      {"--port"},          {"--port", "65536"},       {"--port", "-1"},   {"--port", "80x"},
      {"--status", "6"},   {"--delay-ms", "-5"},      {"--verbose", "1"}, {"--host", ""},
      {"--tsa-cert", "c"}, {"--clock-offset", "1e3"},
  };
  for (const auto& args : bad) {
    ServerOptions options;
    EXPECT_FALSE(Parse(args, &options)) << args[0];
  }
}

}  // namespace
}  // namespace brevalt::devserver
