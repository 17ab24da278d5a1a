// The RFC 3161 exchange of the PKI library against the local authority.
#include <gtest/gtest.h>
#include <openssl/objects.h>
#include <openssl/ts.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <future>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "devserver/dev_server.h"
#include "support/scoped_settings.h"
#include "support/trust_folder.h"
#include "tavik/http/name_lookup.h"
#include "tavik/tavik_handles.h"
#include "tavik/tavik_pki.h"

namespace brevalt {
namespace {

using devserver::DevServer;
using devserver::ServerOptions;
using Clock = std::chrono::steady_clock;

// What one full request through the C API gave.
struct Outcome {
  int result = 0;  // TavikPKIMsgTimeStampGetResponse
  int status = -1;
  std::optional<std::string> time;  // TavikPKIMsgTimeStampGetTime
  bool has_token = false;
};

std::vector<unsigned char> TestImprint() {
  std::vector<unsigned char> digest(32);
  for (size_t i = 0; i < digest.size(); ++i) {
    digest[i] = static_cast<unsigned char>(i * 7 + 1);
  }
  return digest;
}

// A request to url, ready for its exchange; null (with a test failure) when
// it cannot be prepared.
UniqueTimeStamp Prepared(const std::string& url) {
  UniqueTimeStamp request(TavikPKIMsgNewTimeStamp());
  const std::vector<unsigned char> imprint = TestImprint();
  if (!request || TavikPKIMsgTimeStampSetTSA(request.get(), url.c_str()) != 1 ||
      TavikPKIMsgTimeStampSetHashAlgorithm(request.get(), TAVIK_HASH_TIMESTAMP) != 1 ||
      TavikPKIMsgTimeStampSetMessageImprint(request.get(), imprint.data(),
                                            static_cast<int>(imprint.size())) != 1) {
    ADD_FAILURE() << "cannot prepare the request";
    return nullptr;
  }
  return request;
}

// One request through the C API; timeout_ms > 0 sets the request's limit.
Outcome RequestFrom(const std::string& url, int timeout_ms = 0) {
  Outcome outcome;
  UniqueTimeStamp request = Prepared(url);
  if (!request)
    return outcome;
  if (timeout_ms > 0 && TavikPKIMsgTimeStampSetTimeout(request.get(), timeout_ms) != 1) {
    ADD_FAILURE() << "cannot set the time limit";
    return outcome;
  }
  outcome.result = TavikPKIMsgTimeStampGetResponse(request.get(), &outcome.status);
  if (char* time = TavikPKIMsgTimeStampGetTime(request.get())) {
    outcome.time = time;
    TavikPKICryptoFreeMemory(time);
  }
  unsigned char* token = nullptr;
  int length = 0;
  if (TavikPKIMsgTimeStampGetTimeStampToken(request.get(), &token, &length) == 1) {
    outcome.has_token = length > 0;
    TavikPKICryptoFreeMemory(token);
  }
  return outcome;
}

// Seconds since 1970 of "YYYYMMDDHHMMSSZ"; -1 when malformed.
int64_t ParseGenTime(const std::string& text) {
  struct tm fields = {};
  if (text.size() != 15 || text.back() != 'Z' ||
      strptime(text.c_str(), "%Y%m%d%H%M%S", &fields) != text.c_str() + 14) {
    return -1;
  }
  return timegm(&fields);
}

class PkiTimeStamp : public ::testing::Test {
 protected:
  // Starts an authority; extra routes are added by add_routes before start.
  // Its CA goes into the private trust folder unless trusted is false.
  std::unique_ptr<DevServer> StartServer(ServerOptions options = {}, bool trusted = true) {
    auto server = std::make_unique<DevServer>(options);
    if (add_routes_) {
      add_routes_(*server);
    }
    std::string error;
    EXPECT_EQ(server->Start(&error), 0) << error;
    if (trusted) {
      Trust(*server);
    }
    return server;
  }
  std::string Trust(DevServer& server) {
    return testing::WriteTrustAnchor(
        settings_, "tsa", "devserver-" + std::to_string(server.port()) + ".pem", server.CaPem());
  }
  testing::ScopedSettings settings_;  // private trust folder; the real one is never read
  std::function<void(DevServer&)> add_routes_;
};

TEST_F(PkiTimeStamp, GrantedAnswerGivesTheCurrentTimeAndAToken) {
  auto server = StartServer();
  const auto start = Clock::now();
  const Outcome outcome = RequestFrom(server->TsaUrl());
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  ASSERT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.status, 0);
  ASSERT_TRUE(outcome.time);
  EXPECT_NEAR(static_cast<double>(ParseGenTime(*outcome.time)),
              static_cast<double>(std::time(nullptr)), 5.0);
  EXPECT_TRUE(outcome.has_token);
  EXPECT_LT(ms, 1000.0);
  RecordProperty("request_ms", std::to_string(ms));
  std::cout << "one time-stamp request against the local authority: " << ms << " ms\n";
}

TEST_F(PkiTimeStamp, ThreadsMayRequestAtOnce) {
  auto server = StartServer();
  std::vector<Outcome> outcomes(4);
  std::vector<std::thread> threads;
  for (Outcome& outcome : outcomes) {
    threads.emplace_back([&outcome, url = server->TsaUrl()] { outcome = RequestFrom(url); });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (const Outcome& outcome : outcomes) {
    EXPECT_EQ(outcome.result, 1);
    EXPECT_TRUE(outcome.time);
  }
}

TEST_F(PkiTimeStamp, ClockOffsetShowsInTheTime) {
  ServerOptions options;
  options.tsa.clock_offset_seconds = -5 * 3600;
  auto server = StartServer(options);
  const Outcome outcome = RequestFrom(server->TsaUrl());
  ASSERT_TRUE(outcome.time);
  EXPECT_NEAR(static_cast<double>(ParseGenTime(*outcome.time)),
              static_cast<double>(std::time(nullptr) - 5 * 3600), 5.0);
}

TEST_F(PkiTimeStamp, StatusDecidesWhetherTimeAndTokenExist) {
  for (int status : {1, 2, 5}) {
    ServerOptions options;
    options.tsa.status = status;
    auto server = StartServer(options);
    const Outcome outcome = RequestFrom(server->TsaUrl());
    EXPECT_EQ(outcome.result, 1) << status;
    EXPECT_EQ(outcome.status, status);
    EXPECT_EQ(outcome.time.has_value(), status == 1) << status;
    EXPECT_EQ(outcome.has_token, status == 1) << status;
  }
}

// The SM2 authority through the whole exchange: its answers count once its
// SM2 CA is trusted, and only then.
TEST_F(PkiTimeStamp, Sm2AuthorityAnswersCountWhenTrusted) {
  for (const bool trusted : {true, false}) {
    ServerOptions options;
    options.tsa.sm2 = true;
    options.tsa.status = 1;
    auto server = StartServer(options, trusted);
    const Outcome outcome = RequestFrom(server->TsaUrl());
    EXPECT_EQ(outcome.result, trusted ? 1 : 0) << trusted;
    EXPECT_EQ(outcome.time.has_value(), trusted) << trusted;
  }
}

TEST_F(PkiTimeStamp, LateAnswerFailsWithinTheTimeout) {
  ServerOptions options;
  options.tsa.delay_ms = 3000;
  auto server = StartServer(options);
  const auto start = Clock::now();
  const Outcome outcome = RequestFrom(server->TsaUrl(), 400);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_FALSE(outcome.time);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
}

// Cancelled beforehand, a request sends nothing; cancelled from another
// thread while a silent authority keeps it waiting, it ends at once (its own
// limit is 15 s, the authority's delay a minute).
TEST_F(PkiTimeStamp, CancelEndsTheExchange) {
  ServerOptions options;
  options.tsa.delay_ms = 60'000;
  auto server = StartServer(options);
  for (const bool beforehand : {true, false}) {
    UniqueTimeStamp request = Prepared(server->TsaUrl());
    ASSERT_TRUE(request);
    if (beforehand) {
      EXPECT_EQ(TavikPKIMsgTimeStampCancel(request.get()), 1);
    }
    std::thread canceller([&] {
      while (!beforehand && server->tsa()->requests() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      TavikPKIMsgTimeStampCancel(request.get());
    });
    const auto start = Clock::now();
    int status = -1;
    EXPECT_EQ(TavikPKIMsgTimeStampGetResponse(request.get(), &status), 0) << beforehand;
    canceller.join();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5)) << beforehand;
  }
  EXPECT_EQ(server->tsa()->requests(), 1u) << "only the request cancelled while waiting was sent";
  EXPECT_EQ(TavikPKIMsgTimeStampCancel(nullptr), 0);
}

// A resolver that never answers costs the request's time limit and no
// more; what a lookup gives is where the request goes.
TEST_F(PkiTimeStamp, NameLookupStaysWithinTheTimeLimit) {
  auto server = StartServer();
  static std::promise<void> never;  // never kept: a silent resolver
  static const std::shared_future<void> silence = never.get_future().share();
  std::string url = server->TsaUrl();
  url.replace(url.find("127.0.0.1"), 9, "tsa.example.test");
  for (const bool silent : {true, false}) {
    http::SetNameResolverForTesting([silent](const std::string&, std::vector<std::string>* found) {
      if (silent)
        silence.wait();
      found->push_back("127.0.0.1");
      return true;
    });
    UniqueTimeStamp request = Prepared(url);
    ASSERT_TRUE(request && TavikPKIMsgTimeStampSetTimeout(request.get(), 1000) == 1);
    const auto start = Clock::now();
    int status = -1, failure = 0, detail = 0;
    EXPECT_EQ(TavikPKIMsgTimeStampGetResponse(request.get(), &status), silent ? 0 : 1);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500)) << silent;
    TavikPKIMsgTimeStampGetFailure(request.get(), &failure, &detail);
    EXPECT_EQ(failure, silent ? TAVIK_TS_FAILED_TIMED_OUT : 0);
  }
  http::SetNameResolverForTesting({});
}

TEST_F(PkiTimeStamp, RefusedConnectionFailsQuickly) {
  std::string url;
  {
    auto server = StartServer();
    url = server->TsaUrl();
  }  // stopped: nothing listens on the port any more
  const auto start = Clock::now();
  EXPECT_EQ(RequestFrom(url).result, 0);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
}

TEST_F(PkiTimeStamp, UnusableUrlsFail) {
  auto server = StartServer();
  const std::string port = std::to_string(server->port());
  for (const std::string& url : {"ftp://127.0.0.1:" + port + "/tsa", std::string("not a url"),
                                 "http://127.0.0.1:" + port + "/none"}) {
    EXPECT_EQ(RequestFrom(url).result, 0) << url;
  }
}

// Routes that answer like a broken or hostile authority.
void AddHostileRoutes(DevServer& server) {
  auto& http = server.http();
  DevServer* self = &server;
  http.Post("/http500", [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
  http.Post("/text", [self](const httplib::Request& req, httplib::Response& res) {
    const auto reply = self->tsa()->Respond(
        {reinterpret_cast<const unsigned char*>(req.body.data()), req.body.size()});
    res.set_content(std::string(reply.begin(), reply.end()), "text/plain");
  });
  http.Post("/garbage", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("\x30\x03\x02\x01\x00 not DER", "application/timestamp-reply");
  });
  http.Post("/huge", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(2 * 1024 * 1024, '\x30'), "application/timestamp-reply");
  });
  const auto redirect = [&http](const std::string& from, const std::string& to, int status) {
    http.Post(from, [to, status](const httplib::Request&, httplib::Response& res) {
      res.set_redirect(to, status);
    });
  };
  for (int hop = 1; hop <= 4; ++hop) {
    redirect("/hop" + std::to_string(hop), hop == 1 ? "/tsa" : "/hop" + std::to_string(hop - 1),
             302);
  }
  for (int status : {301, 303, 307, 308}) {
    redirect("/moved" + std::to_string(status), "/tsa", status);
  }
  redirect("/toftp", "ftp://127.0.0.1:21/tsa", 302);
}

// Answers the request with its nonce removed, or with another imprint.
std::string ForgedAnswer(DevServer& server, const std::string& body, bool drop_nonce) {
  const auto* data = reinterpret_cast<const unsigned char*>(body.data());
  std::unique_ptr<TS_REQ, decltype(&TS_REQ_free)> req(
      d2i_TS_REQ(nullptr, &data, static_cast<long>(body.size())), &TS_REQ_free);
  if (!req) {
    return {};
  }
  if (drop_nonce) {
    // The same request without its nonce (TS_REQ_set_nonce cannot clear one).
    std::unique_ptr<TS_REQ, decltype(&TS_REQ_free)> bare(TS_REQ_new(), &TS_REQ_free);
    TS_REQ_set_version(bare.get(), 1);
    TS_REQ_set_msg_imprint(bare.get(), TS_REQ_get_msg_imprint(req.get()));
    TS_REQ_set_cert_req(bare.get(), 1);
    req = std::move(bare);
  } else {
    ASN1_OCTET_STRING* digest = TS_MSG_IMPRINT_get_msg(TS_REQ_get_msg_imprint(req.get()));
    std::vector<unsigned char> other(32, 0xAB);
    ASN1_OCTET_STRING_set(digest, other.data(), 32);
  }
  unsigned char* der = nullptr;
  const int size = i2d_TS_REQ(req.get(), &der);
  std::vector<unsigned char> query(der, der + size);
  OPENSSL_free(der);
  const auto reply = server.tsa()->Respond(query);
  return std::string(reply.begin(), reply.end());
}

TEST_F(PkiTimeStamp, BrokenOrForeignAnswersFail) {
  std::mutex mutex;
  std::string first_reply;  // for the replay route
  add_routes_ = [&](DevServer& server) {
    AddHostileRoutes(server);
    DevServer* self = &server;
    for (bool drop : {true, false}) {
      server.http().Post(drop ? "/nononce" : "/otherimprint",
                         [self, drop](const httplib::Request& req, httplib::Response& res) {
                           res.set_content(ForgedAnswer(*self, req.body, drop),
                                           "application/timestamp-reply");
                         });
    }
    server.http().Post("/replay", [&, self](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex);
      if (first_reply.empty()) {
        const auto reply = self->tsa()->Respond(
            {reinterpret_cast<const unsigned char*>(req.body.data()), req.body.size()});
        first_reply.assign(reply.begin(), reply.end());
      }
      res.set_content(first_reply, "application/timestamp-reply");
    });
  };
  auto server = StartServer();
  const std::string base = server->BaseUrl();
  for (const char* path :
       {"/http500", "/garbage", "/huge", "/hop4", "/toftp", "/nononce", "/otherimprint"}) {
    const Outcome outcome = RequestFrom(base + path);
    EXPECT_EQ(outcome.result, 0) << path;
    EXPECT_FALSE(outcome.time) << path;
    EXPECT_FALSE(outcome.has_token) << path;
  }
  EXPECT_EQ(RequestFrom(base + "/replay").result, 1);
  EXPECT_EQ(RequestFrom(base + "/replay").result, 0) << "a replayed answer must not pass";
}

// Up to three redirects of any kind are followed and the request stays a POST;
// an answer counts by its content, whatever label it carries.
TEST_F(PkiTimeStamp, RedirectsAreFollowedAndLabelsIgnored) {
  add_routes_ = AddHostileRoutes;
  auto server = StartServer();
  for (const char* path :
       {"/text", "/hop1", "/hop3", "/moved301", "/moved303", "/moved307", "/moved308"}) {
    const Outcome outcome = RequestFrom(server->BaseUrl() + path);
    EXPECT_EQ(outcome.result, 1) << path;
    EXPECT_TRUE(outcome.time) << path;
  }
}

// The trust folder is read for every answer: an authority counts exactly
// while its CA is there.
TEST_F(PkiTimeStamp, AnswersCountOnlyWhileTheirAuthorityIsTrusted) {
  auto server = StartServer({}, false);
  EXPECT_EQ(RequestFrom(server->TsaUrl()).result, 0);
  const std::string anchor = Trust(*server);
  const Outcome outcome = RequestFrom(server->TsaUrl());
  EXPECT_EQ(outcome.result, 1);
  EXPECT_TRUE(outcome.time);
  std::filesystem::remove(anchor);
  EXPECT_EQ(RequestFrom(server->TsaUrl()).result, 0);
}

TEST_F(PkiTimeStamp, IncompleteRequestsFailWithoutNetwork) {
  UniqueTimeStamp request(TavikPKIMsgNewTimeStamp());
  int status = -7;
  EXPECT_EQ(TavikPKIMsgTimeStampGetResponse(request.get(), &status), 0);
  EXPECT_EQ(TavikPKIMsgTimeStampSetTSA(request.get(), ""), 0);
  EXPECT_EQ(TavikPKIMsgTimeStampSetHashAlgorithm(request.get(), 4095), 0);
  EXPECT_EQ(TavikPKIMsgTimeStampSetTimeout(request.get(), 0), 0);
  EXPECT_EQ(TavikPKIMsgTimeStampSetTSA(request.get(), "http://127.0.0.1:9/tsa"), 1);
  EXPECT_EQ(TavikPKIMsgTimeStampSetHashAlgorithm(request.get(), TAVIK_HASH_TIMESTAMP), 1);
  const unsigned char short_digest[5] = {1, 2, 3, 4, 5};
  EXPECT_EQ(TavikPKIMsgTimeStampSetMessageImprint(request.get(), short_digest, 5), 1);
  EXPECT_EQ(TavikPKIMsgTimeStampGetResponse(request.get(), &status), 0) << "imprint too short";
  EXPECT_EQ(status, -7);
  EXPECT_EQ(TavikPKIMsgTimeStampGetTime(request.get()), nullptr);
  EXPECT_EQ(TavikPKIMsgTimeStampGetTime(nullptr), nullptr);
  TavikPKIMsgFreeTimeStamp(nullptr);
}

}  // namespace
}  // namespace brevalt
