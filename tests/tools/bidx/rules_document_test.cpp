// Reading the opener counts of a rules document and the RULF wrapping.
#include "tools/bidx/rules_document.h"

#include <gtest/gtest.h>

#include <climits>

namespace brevalt::bidx {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Of(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

TEST(ReadDecimalTest, ReadsLikeAtoiAndClamps) {
  const struct {
    const char* text;
    std::int32_t value;
  } rows[] = {
      {"3", 3},
      {"  42", 42},
      {"+7", 7},
      {"-2", -2},
      {"4abc", 4},
      {"abc", 0},
      {"", 0},
      {"- 1", 0},
      {"2147483647", INT32_MAX},
      {"2147483648", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"-99999999999999999999", INT32_MIN},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ReadDecimal(row.text), row.value) << row.text;
  }
}

TEST(ReadRuleCountsTest, TakesTheFirstRuleOfTheFirstRules) {
  const RuleCounts counts = ReadRuleCounts(
      Of("<bidenv><source><rules><rule><n>1</n><m>4</m></rule><rule><m>9</m></rule></rules>"
         "<rules><rule><m>8</m></rule></rules></source></bidenv>"));
  EXPECT_EQ(counts.total, 4);
  EXPECT_EQ(counts.min, 1);
}

TEST(ReadRuleCountsTest, MissingPiecesAreReportedNotGuessed) {
  EXPECT_FALSE(ReadRuleCounts(Of("not xml")).total.has_value());
  EXPECT_FALSE(ReadRuleCounts(Of("<bidenv><rules><rule><m>1</m></rule></rules></bidenv>"))
                   .total.has_value());
  const RuleCounts only_m =
      ReadRuleCounts(Of("<bidenv><source><rules><rule><m/></rule></rules></source></bidenv>"));
  EXPECT_EQ(only_m.total, 0);  // present without text reads as 0
  EXPECT_FALSE(only_m.min.has_value());
}

TEST(RulesWrappingTest, LengthIsBigEndianAndRoundTrips) {
  const Bytes rules(300, 'x');
  const Bytes block = WrapRulesFile(rules);
  ASSERT_EQ(block.size(), 308u);
  EXPECT_EQ(Bytes(block.begin(), block.begin() + 8), (Bytes{'R', 'U', 'L', 'F', 0, 0, 1, 44}));
  EXPECT_EQ(RulesLengthOf(block), 300u);
  EXPECT_FALSE(RulesLengthOf(Of(std::string("RULF\0\0\0", 7))).has_value());  // shorter than 8
  EXPECT_FALSE(RulesLengthOf(Of(std::string("rulf\0\0\0\0", 8))).has_value());
}

}  // namespace
}  // namespace brevalt::bidx
