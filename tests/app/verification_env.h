// Everything a verification needs, on this machine only: a private per-user
// folder whose Setting.ini names the development server on loopback (its
// time-stamp authority trusted through trust/tsa/, its rules service
// publishing the project's rules file), and sealed bids of that project.
#ifndef BREVALT_TESTS_APP_VERIFICATION_ENV_H
#define BREVALT_TESTS_APP_VERIFICATION_ENV_H

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "devserver/dev_server.h"
#include "support/scoped_settings.h"
#include "support/temp_folder.h"

namespace brevalt::app::testing {

inline constexpr char kProject[] = "P2026001";

class VerificationEnv {
 public:
  // Seals the bids and starts the server; ok() tells whether all went well,
  // error() why not.
  VerificationEnv();
  // Releases a held rules request, then stops the server.
  ~VerificationEnv();
  VerificationEnv(const VerificationEnv&) = delete;
  VerificationEnv& operator=(const VerificationEnv&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  // A bid of kProject that passes every step: signed by 王五 of
  // 华东建设有限公司, three openers, opening time in the past.
  const std::string& good_bid() const { return good_bid_; }
  // The good bid with one payload byte flipped.
  const std::string& damaged_bid() const { return damaged_bid_; }

  // Points the rules-service setting at a route that holds every request
  // until ReleaseRules() and then answers 404 (no rules file).
  void HoldRules();
  void ReleaseRules();
  // Stamps over another imprint than the first one's (receipts) wait delay_ms.
  void SlowReceiptStamps(int delay_ms);

 private:
  // tsa empty: the server's own authority.
  void WriteSettings(const std::string& rules_url, const std::string& tsa = {}) const;
  bool SealBids();
  bool StartServer();

  brevalt::testing::ScopedSettings settings_;
  brevalt::testing::TempFolder folder_;
  std::unique_ptr<devserver::DevServer> server_;
  std::string good_bid_;
  std::string damaged_bid_;
  std::string error_;
  std::mutex mutex_;
  std::condition_variable released_;
  bool release_ = false;
  int stamp_delay_ms_ = 0;
  std::string first_stamp_;
};

}  // namespace brevalt::app::testing

#endif  // BREVALT_TESTS_APP_VERIFICATION_ENV_H
