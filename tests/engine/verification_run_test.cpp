#include "engine/verification_run.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <future>

#include "config/text_convert.h"
#include "fakes/fake_tavik.h"
#include "platform/memory_dialog.h"
#include "platform/network_state.h"
#include "platform/time_convert.h"
#include "support/scoped_settings.h"
#include "support/temp_folder.h"

namespace brevalt {
namespace {

constexpr char kSettings[] =
    "[TimeStampURL]\r\nurl=http://tsa.test/\r\n[BidRuleFileURL]\r\nurl=http://rules.test/\r\n";

class VerificationRunTest : public fake::FakeTavikTest {
 protected:
  void SetUp() override {
    FakeTavikTest::SetUp();
    settings_.Write(kSettings);
    bid_path_ = folder_.Write("投标_P2026001_01.tbs.bidx", "sealed bid bytes");
    fake::RegisterCert("SIGNER", {{{16, "张三"}, {18, "张三"}, {31, "20991231235959"}}, {}});
    dialog_.SetChecked(kCheckVerifyRules, false);
  }
  void TearDown() override {
    run_.WaitForWorker();
    run_.ResetResults();  // hand the certificates back before the accounting
    FakeTavikTest::TearDown();
  }
  void Choose() {
    ASSERT_TRUE(run_.ChooseBidFile(Utf8ToWide(bid_path_), u"投标_P2026001_01.tbs.bidx"));
  }
  // Runs one verification to its end.
  void Verify() {
    run_.OnBnClickedVerify();
    run_.WaitForWorker();
  }
  std::u16string Text(int id) { return dialog_.GetControlText(id); }
  std::vector<ListRow> Messages() { return dialog_.GetListRows(kListMessages); }
  // What every stop on the interface thread has in common.
  void ExpectStoppedBeforeTheWorker() {
    EXPECT_FALSE(run_.IsVerifying());
    EXPECT_EQ(dialog_.WaitCount(), 0);
    EXPECT_EQ(final_steps_, 0);  // no log
    EXPECT_FALSE(dialog_.IsWaitCursorShown());
    EXPECT_EQ(Text(kStaticVerdict), u"没通过");
    for (int id : {kEditStepRulesFile, kEditStepBidFormat, kEditStepSignature})
      EXPECT_EQ(Text(id), u"") << id;
  }

  testing::ScopedSettings settings_;
  testing::TempFolder folder_;
  std::string bid_path_;
  MemoryDialog dialog_;
  int final_steps_ = 0;
  // What the final step saw: busy flag, wait dialog, verdict shown.
  bool busy_in_final_step_ = false;
  bool waiting_in_final_step_ = true;
  std::u16string verdict_in_final_step_;
  std::function<void()> in_final_step_;
  ThreadStarter start_thread_ = StartThread;
  CVerificationRun run_{dialog_,
                        [this](const CVerifyResult&, IDialogSeam&) {
                          busy_in_final_step_ = run_.IsVerifying();
                          waiting_in_final_step_ = dialog_.IsWaiting();
                          verdict_in_final_step_ = dialog_.GetControlText(kStaticVerdict);
                          ++final_steps_;
                          if (in_final_step_)
                            in_final_step_();
                        },
                        [this](std::function<void()> body) { return start_thread_(body); }};
};

#define SKIP_WHEN_OFFLINE()    \
  if (!HasNetworkConnection()) \
  GTEST_SKIP() << "no network interface up besides loopback: step 1 cannot pass here"

TEST_F(VerificationRunTest, EmptyPathRefusedAndEarlierResultsKept) {
  run_.Result().FinalResult = u"通过";
  run_.Result().VerifyCode = u"ABC";
  run_.OnBnClickedVerify();
  ASSERT_EQ(dialog_.MessageBoxes().size(), 1u);
  const auto box = dialog_.MessageBoxes()[0];
  EXPECT_EQ(box.text, u"标书路径为空，请选择要验证的标书！");
  EXPECT_EQ(box.caption, u"警告");
  EXPECT_EQ(box.icon, MessageBoxIcon::kWarning);
  EXPECT_EQ(run_.Result().FinalResult, u"通过");
  EXPECT_EQ(run_.Result().VerifyCode, u"ABC");
  EXPECT_FALSE(run_.IsVerifying());
  EXPECT_FALSE(fake::AnyCall());
}

TEST_F(VerificationRunTest, PreflightFailureStopsOnTheInterfaceThread) {
  std::filesystem::remove(settings_.root() + "/TAVIK/qzv/Setting.ini");
  Choose();
  Verify();
  ExpectStoppedBeforeTheWorker();
  EXPECT_EQ(Text(kEditStepNetwork), u"×");
  EXPECT_EQ(Text(kEditStepTimestamp), u"");
  EXPECT_EQ(Text(kEditStepLocalClock), u"");
  EXPECT_EQ(Messages(), (std::vector<ListRow>{{u"环境", u"配置文件Setting.ini不存在!", u"警告",
                                               u"请检查程序运行目录下是否存在Setting.ini文件！"}}));
  EXPECT_TRUE(fake::TsaUrlsAsked().empty());
  EXPECT_EQ(dialog_.WaitCursorCount(), 0);  // shown only from the trusted-time request on
}

TEST_F(VerificationRunTest, TimeStampAndClockFailuresStopWithTheirRows) {
  SKIP_WHEN_OFFLINE();
  // An authority whose time lies eight hours behind this computer's clock.
  const std::time_t behind = static_cast<std::time_t>(CurrentTime() - 8 * 3600);
  char behind_text[32];
  std::strftime(behind_text, sizeof behind_text, "%Y%m%d%H%M%SZ", std::gmtime(&behind));
  struct Row {
    const char* name;
    fake::TsaScript script;
    const char16_t* detail;
    const char16_t* advice;
    bool time_shown;
  };
  const Row rows[] = {
      {"no answer",
       {.response_result = 0},
       u"获取时间戳失败！",
       u"请检查时间戳地址的URL的连通性！",
       false},
      {"clock off",
       {.time = behind_text},
       u"本计算机系统时间不正确!",
       u"请安装时间戳时间修改计算机时间！",
       true},
  };
  Choose();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fake::ScriptTsa("http://tsa.test/", row.script);
    Verify();
    ExpectStoppedBeforeTheWorker();
    EXPECT_EQ(Text(kEditStepNetwork), u"√");
    EXPECT_EQ(Text(kEditStepTimestamp).empty(), !row.time_shown);
    EXPECT_EQ(Text(kEditStepLocalClock), row.time_shown ? u"×" : u"");
    EXPECT_EQ(Messages(), (std::vector<ListRow>{{u"时间戳", row.detail, u"警告", row.advice}}));
  }
  EXPECT_EQ(dialog_.WaitCursorCount(), 2);  // once per run, and restored after each stop
}

TEST_F(VerificationRunTest, FailedThreadCreationThenANewClickRuns) {
  SKIP_WHEN_OFFLINE();
  start_thread_ = [](std::function<void()>) { return std::thread(); };
  Choose();
  Verify();
  ASSERT_EQ(dialog_.MessageBoxes().size(), 1u);
  EXPECT_EQ(dialog_.MessageBoxes()[0].text, u"创建验证的线程失败！");
  EXPECT_EQ(dialog_.MessageBoxes()[0].caption, u"错误");
  EXPECT_EQ(dialog_.MessageBoxes()[0].icon, MessageBoxIcon::kError);
  EXPECT_FALSE(run_.IsVerifying());
  EXPECT_EQ(Text(kEditStepNetwork), u"√");
  EXPECT_EQ(Text(kEditStepLocalClock), u"√");
  EXPECT_EQ(Text(kStaticVerdict), u"");
  EXPECT_EQ(run_.Result().FinalResult, u"没通过");

  start_thread_ = StartThread;
  Verify();
  EXPECT_EQ(Text(kStaticVerdict), u"通过");
  EXPECT_EQ(final_steps_, 1);
}

// Box 1007 picks the check: only the check with the rules file downloads the
// project's rules file; the bidder query follows either check.
TEST_F(VerificationRunTest, BoxSevenPicksTheCheck) {
  SKIP_WHEN_OFFLINE();
  Choose();
  for (bool with_rules : {false, true}) {
    SCOPED_TRACE(with_rules);
    fake::Reset();
    fake::RegisterCert("SIGNER", {{{16, "张三"}, {18, "张三"}, {31, "20991231235959"}}, {}});
    dialog_.SetChecked(kCheckVerifyRules, with_rules);
    Verify();
    std::vector<std::string> downloads, bidder_queries;
    for (const std::string& call : fake::Calls("TavikBidRulesFileGetRules"))
      (call.find("&cert=") == std::string::npos ? downloads : bidder_queries).push_back(call);
    EXPECT_EQ(downloads, with_rules ? std::vector<std::string>{"TavikBidRulesFileGetRules "
                                                               "query=projectid=P2026001"}
                                    : std::vector<std::string>{});
    // The failing check with the rules file (the fake publishes no openers)
    // leaves no bidder certificate, so no bidder query.
    EXPECT_EQ(bidder_queries.size(), with_rules ? 0u : 1u);
    EXPECT_EQ(run_.Result().VerifyCode.size(), 64u);
    EXPECT_EQ(Text(kEditVerifyCode), run_.Result().VerifyCode);
    run_.ResetResults();
  }
}

// Step 2 is the only request: the decisions after it read its anchor. After
// a reset there is none, and a refresh on the interface thread asks again
// under the wait cursor.
TEST_F(VerificationRunTest, OneTrustedTimeRequestPerVerification) {
  SKIP_WHEN_OFFLINE();
  Choose();
  Verify();
  run_.Result().OpenTime = u"2020-01-01 09:00:00";
  run_.UpdateResultDisplay();
  EXPECT_EQ(run_.Result().MayOpen, StepPassed);
  EXPECT_EQ(fake::TsaUrlsAsked().size(), 1u);
  EXPECT_EQ(dialog_.WaitCursorCount(), 1);  // the verify handler's

  run_.ResetResults();
  run_.Result().OpenTime = u"2020-01-01 09:00:00";
  run_.UpdateResultDisplay();
  EXPECT_EQ(fake::TsaUrlsAsked().size(), 2u);
  EXPECT_EQ(dialog_.WaitCursorCount(), 2);
  EXPECT_FALSE(dialog_.IsWaitCursorShown());
}

// The worker's order, and the busy flag held through the final step:
// a verify or choose command before then shows the busy box and changes nothing.
TEST_F(VerificationRunTest, WorkerOrderAndBusyUntilTheVeryEnd) {
  SKIP_WHEN_OFFLINE();
  std::promise<void> reached, release;
  std::future<void> released = release.get_future();
  in_final_step_ = [&] {
    reached.set_value();
    released.wait();
  };
  Choose();
  run_.OnBnClickedVerify();
  reached.get_future().wait();
  run_.OnBnClickedVerify();
  EXPECT_FALSE(run_.ChooseBidFile(u"/b/a_1_2.tbs.bidx", u"a_1_2.tbs.bidx"));
  EXPECT_EQ(run_.Result().BidPath, Utf8ToWide(bid_path_));
  EXPECT_EQ(run_.Result().ProjectNumber, u"P2026001");
  release.set_value();
  run_.WaitForWorker();

  EXPECT_TRUE(busy_in_final_step_);
  EXPECT_FALSE(run_.IsVerifying());
  EXPECT_EQ(final_steps_, 1);
  EXPECT_EQ(run_.Result().FinalResult, u"通过");
  const auto boxes = dialog_.MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.text, u"正在验证中，请稍候...！");
    EXPECT_EQ(box.caption, u"验证中");
    EXPECT_EQ(box.icon, MessageBoxIcon::kInformation);
  }
  // The wait began and ended, and the display was refreshed, before the final step.
  EXPECT_EQ(dialog_.WaitCount(), 1);
  EXPECT_FALSE(waiting_in_final_step_);
  EXPECT_EQ(verdict_in_final_step_, u"通过");
}

}  // namespace
}  // namespace brevalt
