// The devserver's rules service: which bodies it answers, refuses or logs.
#include "devserver/rules_service.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "devserver/dev_server.h"
#include "support/temp_folder.h"

namespace brevalt::devserver {
namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(RulesService, AnswersRefusesAndLogsByBody) {
  testing::TempFolder root;
  root.Write("rules/P-1.xml", "<bidenv/>\r\n");
  root.Write("secret.xml", "outside");
  std::filesystem::create_directories(root.path() + "/rules/dir.xml");
  std::string error;
  auto service = RulesService::Create(root.path(), &error);
  ASSERT_TRUE(service) << error;

  const struct {
    std::string body;
    int status;
  } cases[] = {
      {"projectid=P-1", 200},
      {"projectid=P-1&cert=MIIA+b/c==", 200},
      {"projectid=P-2&cert=MIIA+b/c==", 404},  // logged all the same
      {"projectid=P-2", 404},
      {"projectid=dir", 404},
      {"projectid=", 400},
      {"projectid=../secret", 400},
      {"projectid=..", 400},
      {"projectid=rules/../../secret", 400},
      {"projectid=a\\b", 400},
      {std::string("projectid=P-1\0", 14), 400},
      {"projectid=P-1&id=2", 400},
      {"projectid=P-1&cert=a\nprojectid=forged", 400},
      {"project=P-1", 400},
      {" projectid=P-1", 400},
  };
  for (const auto& c : cases) {
    const RulesService::Answer answer = service->Respond(c.body);
    EXPECT_EQ(answer.status, c.status) << c.body;
    EXPECT_EQ(answer.body, c.status == 200 ? "<bidenv/>\r\n" : "") << c.body;
  }
  EXPECT_EQ(Read(root.path() + "/bidder-queries.log"),
            "projectid=P-1&cert=MIIA+b/c==\nprojectid=P-2&cert=MIIA+b/c==\n");
}

TEST(RulesService, RootThatIsNoFolderIsRefusedAtStart) {
  testing::TempFolder folder;
  const std::string file = folder.Write("plain", "x");
  for (const std::string& root : {folder.path() + "/missing", file}) {
    ServerOptions options;
    options.root = root;
    DevServer server(options);
    std::string error;
    EXPECT_EQ(server.Start(&error), 1);
    EXPECT_NE(error.find(root + ": not a folder"), std::string::npos) << error;
  }
}

TEST(DevServer, Ipv6HostGoesIntoUrlsInBrackets) {
  EXPECT_EQ(HostForUrl("::1"), "[::1]");
  EXPECT_EQ(HostForUrl("[::1]"), "[::1]");
  EXPECT_EQ(HostForUrl("127.0.0.1"), "127.0.0.1");
  ServerOptions options;
  options.host = "::1";
  DevServer server(options);
  std::string error;
  if (server.Start(&error) != 0) {
    GTEST_SKIP() << "no IPv6 loopback here: " << error;
  }
  EXPECT_EQ(server.RulesUrl(), "http://[::1]:" + std::to_string(server.port()) + "/rules");
}

}  // namespace
}  // namespace brevalt::devserver
