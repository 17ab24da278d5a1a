#include "engine/bid_file_name.h"

#include <gtest/gtest.h>

#include "platform/memory_dialog.h"

namespace brevalt {
namespace {

TEST(BidFileName, ReadsProjectAndPackageNumbers) {
  struct Row {
    const char16_t* path;
    const char16_t* project;  // null: refused
    const char16_t* package;
  };
  const Row rows[] = {
      {u"/bids/abc_2012-001_3.tbs.bidx", u"2012-001", u"3"},
      {u"/bids/abc_2012-001_3.bidx", u"2012-001", u"3"},  // the second cut finds no "."
      {u"x_1_2.tbs.bidx", u"1", u"2"},                    // no folder at all
      {u"/b/  x_1_2 \t.tbs.bidx", u"1", u"2"},            // blanks around the stem
      {u"/b/x__2.tbs.bidx", u"", u"2"},                   // empty project number
      {u"/b/x_1_2_.tbs.bidx", u"1", u"2"},                // trailing underscore adds nothing
      {u"/b/x_a.b_2.tbs.bidx", u"a.b", u"2"},             // only the last two "." are cut
      {u"/b/x_1.tbs.bidx", nullptr, nullptr},
      {u"/b/x_1_2_3.tbs.bidx", nullptr, nullptr},
      {u"/b/abc_2012_001_3.tbs.bidx", nullptr, nullptr},
      {u"/b/x_1_2", nullptr, nullptr},          // no "." at all: nothing left
      {u"/b_1_2/file.bidx", nullptr, nullptr},  // folders do not count
      {u"", nullptr, nullptr},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    std::u16string project = u"old", package = u"old";
    EXPECT_EQ(ParseBidFileName(row.path, &project, &package), row.project != nullptr) << i;
    EXPECT_EQ(project, row.project ? row.project : u"old") << i;
    EXPECT_EQ(package, row.package ? row.package : u"old") << i;
  }
}

TEST(BidFileName, RefusedNameWarnsAndKeepsEarlierNumbers) {
  MemoryDialog dialog;
  CVerifyResult result;
  ASSERT_TRUE(ApplyChosenBidFile(result, dialog, u"/b/a_P1_01.tbs.bidx", u"a_P1_01.tbs.bidx"));
  EXPECT_EQ(dialog.GetControlText(kEditBidPath), u"/b/a_P1_01.tbs.bidx");
  EXPECT_TRUE(dialog.MessageBoxes().empty());

  EXPECT_FALSE(ApplyChosenBidFile(result, dialog, u"/b/bad_name.bidx", u"bad_name.bidx"));
  EXPECT_EQ(result.BidPath, u"");
  EXPECT_EQ(result.BidFileName, u"bad_name.bidx");
  EXPECT_EQ(result.ProjectNumber, u"P1");
  EXPECT_EQ(result.PackageNumber, u"01");
  EXPECT_EQ(dialog.GetControlText(kEditBidPath), u"/b/a_P1_01.tbs.bidx");
  ASSERT_EQ(dialog.MessageBoxes().size(), 1u);
  EXPECT_EQ(dialog.MessageBoxes()[0].text, kBidFileNameWarning);
  EXPECT_EQ(dialog.MessageBoxes()[0].caption, u"警告");
  EXPECT_EQ(dialog.MessageBoxes()[0].icon, MessageBoxIcon::kWarning);
}

// The record keeps a name's hidden characters; only the path shown has
// stand-ins.
TEST(BidFileName, HiddenCharactersStayInTheRecord) {
  const std::u16string name = u"a\u0001_P\u001B1_0\u202E1.tbs.bidx";
  MemoryDialog dialog;
  CVerifyResult result;
  ASSERT_TRUE(ApplyChosenBidFile(result, dialog, u"/b/" + name, name));
  EXPECT_EQ(result.BidFileName + result.ProjectNumber + result.PackageNumber,
            name + u"P\u001B1" + u"0\u202E1");
  EXPECT_EQ(dialog.GetControlText(kEditBidPath), u"/b/a\uFFFD_P\uFFFD1_0\uFFFD1.tbs.bidx");
}

}  // namespace
}  // namespace brevalt
