#include "engine/result_display.h"

#include <gtest/gtest.h>

#include "fakes/fake_tavik.h"
#include "platform/memory_dialog.h"
#include "support/scoped_settings.h"

namespace brevalt {
namespace {

// A fake certificate with the given holder name (none when empty) that stays
// valid for decades.
UniqueCert MakeCert(const std::string& bytes, const std::string& name) {
  fake::CertScript script;
  script.attributes[31] = "20991231235959";
  if (!name.empty())
    script.attributes[20] = name;
  fake::RegisterCert(bytes, script);
  return UniqueCert(
      TavikPKICertNewCert(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

class ResultDisplayTest : public fake::FakeTavikTest {
 protected:
  void TearDown() override {
    result_ = CVerifyResult();  // hand the certificates back before the accounting
    FakeTavikTest::TearDown();
  }
  std::vector<ListRow> Rows(int id) { return dialog_.GetListRows(id); }

  testing::ScopedSettings settings_;  // no Setting.ini: the fake's default authority answers
  CVerifyResult result_;
  MemoryDialog dialog_;
  CResultDisplay display_;
};

TEST_F(ResultDisplayTest, BidInfoRowsFollowValuesAndMayOpen) {
  struct Row {
    int32_t may_open;
    const char16_t* shown;  // null: no "是否可以开标" row
  };
  const Row rows[] = {{-1, nullptr}, {0, u"未知"}, {1, u"√"}, {2, u"×"}, {7, u"未知"}};
  result_.ProjectNumber = u"P2026001";
  result_.OpenTime = u"2026-12-09 09:30:00";
  for (const Row& row : rows) {
    result_.MayOpen = static_cast<StepState>(row.may_open);
    CResultDisplay::FillBidInfoList(result_, dialog_);
    std::vector<ListRow> expected = {{u"项目编号", u"P2026001"},
                                     {u"开标时间", u"2026-12-09 09:30:00"}};
    if (row.shown)
      expected.push_back({u"是否可以开标", row.shown});
    EXPECT_EQ(Rows(kListBidInfo), expected) << row.may_open;
  }
}

TEST_F(ResultDisplayTest, MessageRowOnlyForKnownCategories) {
  result_.ErrorDetail = u"网络不通！";
  result_.ErrorAdvice = u"请检查网络连接！";
  for (int32_t category : {0, 6, -1}) {
    result_.ErrorCategory = static_cast<MessageCategory>(category);
    CResultDisplay::FillMessageList(result_, dialog_);
    EXPECT_TRUE(Rows(kListMessages).empty()) << category;
  }
  result_.ErrorCategory = CategoryBidFormat;
  CResultDisplay::FillMessageList(result_, dialog_);
  EXPECT_EQ(Rows(kListMessages),
            (std::vector<ListRow>{{u"标书格式", u"网络不通！", u"严重错误", u"请检查网络连接！"}}));
}

TEST_F(ResultDisplayTest, BidderLine) {
  result_.BidderName = u"华东建设有限公司";
  result_.BidderUnit = u"华东建设有限公司";
  EXPECT_EQ(BidderLineText(result_), u"华东建设有限公司");
  result_.BidderName = u"张三";
  EXPECT_EQ(BidderLineText(result_), u"张三  单位： 华东建设有限公司");
  result_.BidderName.clear();
  EXPECT_EQ(BidderLineText(result_), u"");
}

TEST_F(ResultDisplayTest, VerdictBlueOnlyWhenAllFiveStepsPassed) {
  result_.FinalResult = u"通过";
  result_.StepNetwork = result_.StepLocalClock = result_.StepRulesFile = StepPassed;
  result_.StepBidFormat = result_.StepSignature = StepPassed;
  EXPECT_EQ(VerdictColourOf(result_), VerdictColour::kBlue);
  for (StepState* step : {&result_.StepNetwork, &result_.StepLocalClock, &result_.StepRulesFile,
                          &result_.StepBidFormat, &result_.StepSignature}) {
    *step = StepUnknown;
    EXPECT_EQ(VerdictColourOf(result_), VerdictColour::kRed);
    *step = StepPassed;
  }
}

// Openers appear only once the opening time has come; a nameless certificate
// takes no row, and each row still maps to the certificate it shows.
TEST_F(ResultDisplayTest, OpenersListedFromOpeningTimeWithRowMapping) {
  result_.OpenerCerts.push_back(MakeCert("O1", "李四"));
  result_.OpenerCerts.push_back(MakeCert("O2", ""));
  result_.OpenerCerts.push_back(MakeCert("O3", "王五"));

  result_.OpenTime = u"2099-01-01 09:00:00";
  display_.FillOpenerList(result_, dialog_);
  EXPECT_EQ(result_.MayOpen, StepFailed);
  EXPECT_TRUE(Rows(kListOpeners).empty());
  EXPECT_EQ(display_.OpenerCertIndex(0), -1);

  result_.OpenTime = u"2020-01-01 09:00:00";
  display_.FillOpenerList(result_, dialog_);
  EXPECT_EQ(Rows(kListOpeners),
            (std::vector<ListRow>{{u"0", u"李四", u"有效"}, {u"1", u"王五", u"有效"}}));
  EXPECT_EQ(display_.OpenerCertIndex(0), 0);
  EXPECT_EQ(display_.OpenerCertIndex(1), 2);
  EXPECT_EQ(display_.OpenerCertIndex(2), -1);

  // After a failed step 1 the list stays empty and no trusted time is asked.
  const int asked = static_cast<int>(fake::TsaUrlsAsked().size());
  result_.StepNetwork = StepFailed;
  display_.FillOpenerList(result_, dialog_);
  EXPECT_TRUE(Rows(kListOpeners).empty());
  EXPECT_EQ(display_.OpenerCertIndex(0), -1);
  EXPECT_EQ(static_cast<int>(fake::TsaUrlsAsked().size()), asked);
}

}  // namespace
}  // namespace brevalt
