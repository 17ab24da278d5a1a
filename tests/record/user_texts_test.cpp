// Every text the user reads, written out literally and checked against what
// the code produces, so that a typo in a message fails here. Full-width and
// ASCII marks differ between texts on purpose ("！" U+FF01 against "!",
// "，" U+FF0C against ","), and users compare these texts with printed
// instructions.
#include <gtest/gtest.h>

#include <string>

#include "engine/bid_file_name.h"
#include "record/message_catalogue.h"
#include "record/result_texts.h"

namespace brevalt {
namespace {

std::u16string VerifyFailedRow(int code, bool advice) {
  CVerifyResult result;
  SetVerifyFailedMessage(result, code);
  return advice ? result.ErrorAdvice : result.ErrorDetail;
}

TEST(UserTexts, EveryTextAsTheUserReadsIt) {
  const struct {
    const char* what;
    std::u16string produced;
    std::u16string literal;
  } rows[] = {
      {"SettingsMissing detail", msg::kSettingsMissing.detail, u"配置文件Setting.ini不存在!"},
      {"SettingsMissing advice", msg::kSettingsMissing.advice,
       u"请检查程序运行目录下是否存在Setting.ini文件！"},
      {"NoTimestampUrl detail", msg::kNoTimestampUrl.detail, u"配置文件中没有设置时间戳的URL!"},
      {"NoTimestampUrl advice", msg::kNoTimestampUrl.advice,
       u"请打开Setting.ini配置文件，添加相应的URL地址，然后重启本软件！"},
      {"BadTimestampUrl detail", msg::kBadTimestampUrl.detail, u"时间戳的地址不是合格的URL格式！"},
      {"BadTimestampUrl advice", msg::kBadTimestampUrl.advice,
       u"请打开Setting.ini配置文件，检查TimeStampURL下的url地址的格式！"},
      {"NoRulesUrl detail", msg::kNoRulesUrl.detail, u"配置文件中没有设置规则文件的URL!"},
      {"NoRulesUrl advice", msg::kNoRulesUrl.advice,
       u"请打开Setting.ini配置文件，添加相应的URL地址，然后重启本软件！"},
      {"BadRulesUrl detail", msg::kBadRulesUrl.detail, u"规则文件的地址不是合格的URL格式！"},
      {"BadRulesUrl advice", msg::kBadRulesUrl.advice,
       u"请打开Setting.ini配置文件，检查BidRuleFileURL下的url地址的格式！"},
      {"NoNetwork detail", msg::kNoNetwork.detail, u"网络不通！"},
      {"NoNetwork advice", msg::kNoNetwork.advice, u"请检查网络连接！"},
      {"TimestampFailed detail", msg::kTimestampFailed.detail, u"获取时间戳失败！"},
      {"TimestampFailed advice", msg::kTimestampFailed.advice, u"请检查时间戳地址的URL的连通性！"},
      {"ClockWrong detail", msg::kClockWrong.detail, u"本计算机系统时间不正确!"},
      {"ClockWrong advice", msg::kClockWrong.advice, u"请安装时间戳时间修改计算机时间！"},
      {"VerifyCodeFailed detail", msg::kVerifyCodeFailed.detail, u"计算验证码失败！"},
      {"VerifyCodeFailed advice", msg::kVerifyCodeFailed.advice,
       u"请确保标书文件没有被其它应用程序占用！"},
      {"OpenBidFailed detail", msg::kOpenBidFailed.detail, u"打开标书文件失败！"},
      {"OpenBidFailed advice", msg::kOpenBidFailed.advice,
       u"请确保标书文件没有被其它应用程序占用！"},
      {"DownloadRulesFailed detail", msg::kDownloadRulesFailed.detail, u"下载规则文件失败!"},
      {"DownloadRulesFailed advice", msg::kDownloadRulesFailed.advice,
       u"请检查服务器地址配置是否正确,以及该地址是否可连接！"},
      {"GetOpenerCertsFailed detail", msg::kGetOpenerCertsFailed.detail, u"获取开标人的证书失败！"},
      {"GetOpenerCertsFailed advice", msg::kGetOpenerCertsFailed.advice,
       u"请不要勾选验证规则文件，再次进行验证标书，如果不能成功，请重启计算机系统再次验证！"},
      {"NoOpenerCerts detail", msg::kNoOpenerCerts.detail, u"规则文件中不存在开标人的证书！"},
      {"NoOpenerCerts advice", msg::kNoOpenerCerts.advice, u"严重错误，无法处理！"},
      {"BuildOpenerCertFailed detail", msg::kBuildOpenerCertFailed.detail,
       u"构造开标人的证书失败！"},
      {"BuildOpenerCertFailed advice", msg::kBuildOpenerCertFailed.advice,
       u"内存不足，重启计算机系统重试！"},
      {"GetSignerCertFailed detail", msg::kGetSignerCertFailed.detail,
       u"获取投标人的签名证书失败！"},
      {"GetSignerCertFailed advice", msg::kGetSignerCertFailed.advice, u"警告：讨论处理！"},
      {"BuildSignerCertFailed detail", msg::kBuildSignerCertFailed.detail,
       u"构造投标人的签名证书失败！"},
      {"BuildSignerCertFailed advice", msg::kBuildSignerCertFailed.advice,
       u"重启计算机系统，然后尝试进行验证！"},
      {"OutOfMemory detail", msg::kOutOfMemory.detail, u"内存不足！"},
      {"OutOfMemory advice", msg::kOutOfMemory.advice, u"重启计算机系统，然后重试！"},
      {"RulesLengthMismatch detail", msg::kRulesLengthMismatch.detail,
       u"规则文件长度与实际的长度不符!"},
      {"RulesLengthMismatch advice", msg::kRulesLengthMismatch.advice, u"严重错误，不可处理！"},
      {"OpenerTotalBelowOne detail", msg::kOpenerTotalBelowOne.detail,
       u"开标总人数小于0，验证规则文件失败！"},
      {"OpenerTotalBelowOne advice", msg::kOpenerTotalBelowOne.advice, u"严重错误，不可处理!"},
      {"OpenerMinBelowOne detail", msg::kOpenerMinBelowOne.detail,
       u"开标最小人数小于0，验证规则文件失败！"},
      {"OpenerMinBelowOne advice", msg::kOpenerMinBelowOne.advice, u"严重错误，不可处理!"},
      {"OpenerTotalBelowMin detail", msg::kOpenerTotalBelowMin.detail,
       u"开标总人数小于最小开标人数，验证规则文件失败！"},
      {"OpenerTotalBelowMin advice", msg::kOpenerTotalBelowMin.advice, u"严重错误，不可处理!"},
      {"RulesDiffer detail", msg::kRulesDiffer.detail,
       u"标书中的规则文件和下载的规则文件不一致！!"},
      {"RulesDiffer advice", msg::kRulesDiffer.advice, u"讨论处理！"},
      {"container failure detail", VerifyFailedRow(26, false), u"验证规则失败，错误代码 = 26"},
      {"container failure advice", VerifyFailedRow(26, true), u"严重错误，不可处理！"},
      {"step unknown", StepStateText(StepUnknown), u"未知"},
      {"step passed", StepStateText(StepPassed), u"√"},
      {"step failed", StepStateText(StepFailed), u"×"},
      {"category environment", CategoryText(CategoryEnvironment), u"环境"},
      {"category time stamp", CategoryText(CategoryTimestamp), u"时间戳"},
      {"category bid format", CategoryText(CategoryBidFormat), u"标书格式"},
      {"category signature", CategoryText(CategorySignature), u"签名验证"},
      {"category other", CategoryText(CategoryOther), u"其它"},
      {"nature environment", NatureText(CategoryEnvironment), u"警告"},
      {"nature time stamp", NatureText(CategoryTimestamp), u"警告"},
      {"nature bid format", NatureText(CategoryBidFormat), u"严重错误"},
      {"nature signature", NatureText(CategorySignature), u"严重错误"},
      {"nature other", NatureText(CategoryOther), u"警告"},
      {"verdict passed", kVerdictPassed, u"通过"},
      {"verdict not passed", kVerdictNotPassed, u"没通过"},
      {"bid file name warning", kBidFileNameWarning,
       u"标书文件名格式不正确！请按照 "
       u"xxx_项目编号_包组号.tbs.bidx的格式修改文件名后重新选择文件！"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.produced, row.literal) << row.what;
  // The two marks are these code points, not look-alikes.
  EXPECT_EQ(StepStateText(StepPassed), std::u16string(1, char16_t{0x221A}));
  EXPECT_EQ(StepStateText(StepFailed), std::u16string(1, char16_t{0x00D7}));
}

}  // namespace
}  // namespace brevalt
