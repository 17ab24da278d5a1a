#include "devserver/server_options.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstring>
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
                     "2", "--delay-ms", "250", "--tsa-cert", "c.pem", "--tsa-key", "k.pem",
                     "--root", "demo", "--write-ca", "ca.pem"},
                    &options));
  EXPECT_EQ(options.port, 8080);
  EXPECT_EQ(options.host, "0.0.0.0");
  EXPECT_EQ(options.tsa.clock_offset_seconds, -3600);
  EXPECT_EQ(options.tsa.status, 2);
  EXPECT_EQ(options.tsa.delay_ms, 250);
  EXPECT_EQ(options.tsa.cert_path, "c.pem");
  EXPECT_EQ(options.tsa.key_path, "k.pem");
  EXPECT_EQ(options.root, "demo");
  EXPECT_EQ(options.write_ca_path, "ca.pem");

  ServerOptions defaults;
  ASSERT_TRUE(Parse({}, &defaults));
  EXPECT_EQ(defaults.host, "127.0.0.1");
  EXPECT_EQ(defaults.port, 0);
}

TEST(ServerOptions, RefusesBadInput) {
  const std::vector<std::vector<const char*>> bad = {
      {"--port"},          {"--port", "65536"},       {"--port", "-1"},   {"--port", "80x"},
      {"--status", "6"},   {"--delay-ms", "-5"},      {"--verbose", "1"}, {"--host", ""},
      {"--tsa-cert", "c"}, {"--clock-offset", "1e3"}, {"--root", ""},     {"--write-ca"},
  };
  for (const auto& args : bad) {
    ServerOptions options;
    EXPECT_FALSE(Parse(args, &options)) << args[0];
  }
}

// The executable itself: --help goes to stdout, exits 0 and explains every
// option on a line of its own.
TEST(ServerOptions, HelpListsEveryOptionAndExitsZero) {
  const std::string command = BREVALT_EMULATOR
      " " BREVALT_BINARY_DIR "/tools/devserver/devserver --port 1 --help 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char chunk[512];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
    out.append(chunk, n);
  }
  const int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  for (const char* option :
       {"--port N ", "--host H ", "--root DIR ", "--write-ca FILE ", "--clock-offset SECONDS ",
        "--status N ", "--delay-ms N ", "--tsa-cert FILE ", "--tsa-key FILE ", "--help"}) {
    const size_t at = out.find(std::string("\n  ") + option);
    ASSERT_NE(at, std::string::npos) << option << " in\n" << out;
    const size_t end = out.find('\n', at + 1);
    EXPECT_GT(end - at, std::strlen(option) + 12) << "no explanation for " << option;
  }
}

}  // namespace
}  // namespace brevalt::devserver
