#include "record/result_texts.h"

#include <gtest/gtest.h>

namespace brevalt {
namespace {

TEST(StepStateText, MarksAreTheExactCodePoints) {
  EXPECT_EQ(StepStateText(StepPassed), std::u16string(1, char16_t{0x221A}));
  EXPECT_EQ(StepStateText(StepFailed), std::u16string(1, char16_t{0x00D7}));
  EXPECT_EQ(StepStateText(StepUnknown), u"未知");
}

TEST(StepStateText, NotRunAndOutOfRangeValuesAreEmpty) {
  for (int32_t value : {-1, -2, 3, 100}) EXPECT_EQ(StepStateText(value), u"") << value;
}

TEST(CategoryTexts, EachCategoryHasItsCategoryAndNatureText) {
  struct Row {
    int32_t category;
    const char16_t* text;
    const char16_t* nature;
  };
  const Row rows[] = {
      {CategoryNone, u"", u""},
      {CategoryEnvironment, u"环境", u"警告"},
      {CategoryTimestamp, u"时间戳", u"警告"},
      {CategoryBidFormat, u"标书格式", u"严重错误"},
      {CategorySignature, u"签名验证", u"严重错误"},
      {CategoryOther, u"其它", u"警告"},
      {6, u"", u""},
      {-1, u"", u""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CategoryText(row.category), row.text) << row.category;
    EXPECT_EQ(NatureText(row.category), row.nature) << row.category;
  }
}

}  // namespace
}  // namespace brevalt
