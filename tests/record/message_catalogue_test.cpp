#include "record/message_catalogue.h"

#include <gtest/gtest.h>

namespace brevalt {
namespace {

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
