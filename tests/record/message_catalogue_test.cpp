#include "record/message_catalogue.h"

#include <gtest/gtest.h>

namespace brevalt {
namespace {

constexpr char16_t kFullBang = 0xFF01;  // ！
constexpr char16_t kAsciiBang = u'!';

char16_t Last(const char16_t* text) { return std::u16string(text).back(); }

// The closing mark of every detail and advice: full-width and ASCII marks are
// mixed on purpose and users compare these texts with printed instructions.
TEST(MessageCatalogue, ClosingMarksAreFullWidthOrAsciiAsPrinted) {
  struct Row {
    const char* name;
    Message message;
    char16_t detail_end;
    char16_t advice_end;
  };
  const Row rows[] = {
      {"settings missing", msg::kSettingsMissing, kAsciiBang, kFullBang},
      {"no timestamp url", msg::kNoTimestampUrl, kAsciiBang, kFullBang},
      {"bad timestamp url", msg::kBadTimestampUrl, kFullBang, kFullBang},
      {"no rules url", msg::kNoRulesUrl, kAsciiBang, kFullBang},
      {"bad rules url", msg::kBadRulesUrl, kFullBang, kFullBang},
      {"no network", msg::kNoNetwork, kFullBang, kFullBang},
      {"timestamp failed", msg::kTimestampFailed, kFullBang, kFullBang},
      {"clock wrong", msg::kClockWrong, kAsciiBang, kFullBang},
      {"verify code", msg::kVerifyCodeFailed, kFullBang, kFullBang},
      {"open bid", msg::kOpenBidFailed, kFullBang, kFullBang},
      {"download", msg::kDownloadRulesFailed, kAsciiBang, kFullBang},
      {"opener certs", msg::kGetOpenerCertsFailed, kFullBang, kFullBang},
      {"no opener certs", msg::kNoOpenerCerts, kFullBang, kFullBang},
      {"build opener", msg::kBuildOpenerCertFailed, kFullBang, kFullBang},
      {"signer cert", msg::kGetSignerCertFailed, kFullBang, kFullBang},
      {"build signer", msg::kBuildSignerCertFailed, kFullBang, kFullBang},
      {"memory", msg::kOutOfMemory, kFullBang, kFullBang},
      {"rules length", msg::kRulesLengthMismatch, kAsciiBang, kFullBang},
      {"total below one", msg::kOpenerTotalBelowOne, kFullBang, kAsciiBang},
      {"min below one", msg::kOpenerMinBelowOne, kFullBang, kAsciiBang},
      {"total below min", msg::kOpenerTotalBelowMin, kFullBang, kAsciiBang},
      {"rules differ", msg::kRulesDiffer, kAsciiBang, kFullBang},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Last(row.message.detail), row.detail_end) << row.name;
    EXPECT_EQ(Last(row.message.advice), row.advice_end) << row.name;
  }
}

TEST(MessageCatalogue, TextsThatLookAlikeStayDistinct) {
  // "不可" with a full-width mark, "不可" with an ASCII mark, and "无法".
  EXPECT_EQ(std::u16string(msg::kRulesLengthMismatch.advice), u"严重错误，不可处理\uFF01");
  EXPECT_EQ(std::u16string(msg::kOpenerTotalBelowOne.advice), u"严重错误，不可处理!");
  EXPECT_EQ(std::u16string(msg::kNoOpenerCerts.advice), u"严重错误，无法处理\uFF01");
  // The rules-differ detail ends in a full-width then an ASCII mark.
  EXPECT_EQ(std::u16string(msg::kRulesDiffer.detail),
            u"标书中的规则文件和下载的规则文件不一致\uFF01!");
  // The download advice holds an ASCII comma between two clauses.
  EXPECT_NE(std::u16string(msg::kDownloadRulesFailed.advice).find(u"正确,以及"),
            std::u16string::npos);
  // The comma after 严重错误 is full-width (U+FF0C).
  EXPECT_EQ(msg::kRulesLengthMismatch.advice[4], char16_t{0xFF0C});
}

TEST(MessageCatalogue, SetMessageWritesTheWholeRow) {
  CVerifyResult result;
  SetMessage(result, CategoryBidFormat, msg::kRulesDiffer);
  EXPECT_EQ(result.ErrorCategory, CategoryBidFormat);
  EXPECT_EQ(result.ErrorDetail, msg::kRulesDiffer.detail);
  EXPECT_EQ(result.ErrorAdvice, u"讨论处理！");
  // A later message replaces the earlier one.
  SetMessage(result, CategoryOther, msg::kOutOfMemory);
  EXPECT_EQ(result.ErrorCategory, CategoryOther);
  EXPECT_EQ(result.ErrorDetail, u"内存不足！");
}

TEST(MessageCatalogue, VerifyFailedCarriesTheCodeInDecimal) {
  struct Row {
    int code;
    const char16_t* detail;
  };
  const Row rows[] = {
      {7, u"验证规则失败，错误代码 = 7"},
      {-1, u"验证规则失败，错误代码 = -1"},
      {2147483647, u"验证规则失败，错误代码 = 2147483647"},
  };
  for (const Row& row : rows) {
    CVerifyResult result;
    SetVerifyFailedMessage(result, row.code);
    EXPECT_EQ(result.ErrorDetail, row.detail);
    EXPECT_EQ(result.ErrorAdvice, u"严重错误，不可处理！");
    EXPECT_EQ(result.ErrorCategory, CategorySignature);
  }
}

}  // namespace
}  // namespace brevalt
