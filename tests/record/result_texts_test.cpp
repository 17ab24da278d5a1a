#include "record/result_texts.h"

#include <gtest/gtest.h>

namespace brevalt {
namespace {

// The texts themselves are pinned in user_texts_test.cpp; here, the values
// that have no text.
TEST(ResultTexts, NotRunNoRowAndOutOfRangeValuesAreEmpty) {
  for (int32_t value : {-1, -2, 3, 100})
    EXPECT_EQ(StepStateText(value), u"") << value;
  for (int32_t value : {0, -1, 6}) {  // 0: no message row
    EXPECT_EQ(CategoryText(value), u"") << value;
    EXPECT_EQ(NatureText(value), u"") << value;
  }
}

}  // namespace
}  // namespace brevalt
