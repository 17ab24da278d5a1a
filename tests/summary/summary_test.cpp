// The many-bids summary without a display: which files a list of names
// gives, what a row takes from a run, and the export's guards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/local_time.h"
#include "log/verify_receipt.h"
#include "platform/memory_dialog.h"
#include "summary/bid_list.h"
#include "summary/export_time.h"
#include "summary/summary_csv.h"
#include "summary/summary_export.h"
#include "summary/summary_row.h"
#include "support/temp_folder.h"

namespace brevalt {
namespace {

namespace fs = std::filesystem;

class BidListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name :
         {"b_1_2.tbs.bidx", "a_1_2.tbs.bidx", "C_1_2.TBS.BIDX", "notes.txt", "sub/d_1_2.tbs.bidx"})
      folder_.Write(name, "x");
    fs::create_symlink(At("a_1_2.tbs.bidx"), At("link_1_2.tbs.bidx"));
  }
  std::string At(const std::string& name) const { return folder_.path() + "/" + name; }
  std::vector<std::string> Names(const std::vector<std::string>& files) const {
    std::vector<std::string> names;
    for (const std::string& file : files)
      names.push_back(fs::path(file).filename().string());
    return names;
  }
  testing::TempFolder folder_;
};

// A folder gives its own bids by name, each file once (a second spelling, a
// link to it, or a bid already listed adds nothing); other files and
// missing names are left out.
TEST_F(BidListTest, NamesGiveEachBidOnce) {
  using Names_ = std::vector<std::string>;
  struct Case {
    std::vector<std::string> names, known;
    Names_ expected;
  };
  const Case cases[] = {
      {{folder_.path()}, {}, {"C_1_2.TBS.BIDX", "a_1_2.tbs.bidx", "b_1_2.tbs.bidx"}},
      {{At("b_1_2.tbs.bidx"), folder_.path()},
       {},
       {"b_1_2.tbs.bidx", "C_1_2.TBS.BIDX", "a_1_2.tbs.bidx"}},
      {{At("sub/../a_1_2.tbs.bidx"), At("link_1_2.tbs.bidx")}, {}, {"a_1_2.tbs.bidx"}},
      {{folder_.path()}, {At("a_1_2.tbs.bidx")}, {"C_1_2.TBS.BIDX", "b_1_2.tbs.bidx"}},
      {{At("notes.txt"), At("missing.bidx")}, {}, {"notes.txt"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Names(ListBidFiles(c.names, c.known)), c.expected) << c.names.front();
}

// The reason is the first message row's detail; a failed run without a row
// still names its failure; a passed run has none.
TEST(SummaryRowTest, ReasonComesFromTheFirstMessageRow) {
  struct Case {
    const char16_t* verdict;
    std::vector<ListRow> messages;
    const char16_t* detail;
    SummaryVerdict expected;
    const char16_t* reason;
  };
  const Case cases[] = {
      {u"通过", {}, u"", SummaryVerdict::kPassed, u""},
      {u"没通过",
       {{u"其它", u"打开标书文件失败！", u"警告", u"请确保"}},
       u"打开标书文件失败！",
       SummaryVerdict::kNotPassed,
       u"打开标书文件失败！"},
      {u"没通过", {}, u"获取时间戳失败！", SummaryVerdict::kNotPassed, u"获取时间戳失败！"},
  };
  for (const Case& c : cases) {
    MemoryDialog shown;
    shown.SetControlText(kStaticVerdict, c.verdict);
    shown.SetListRows(kListMessages, c.messages);
    CVerifyResult result;
    result.ErrorDetail = c.detail;
    SummaryRow row = PendingRow(1, u"/b/x_P1_2.tbs.bidx");
    FillRowFromRun(row, result, shown);
    EXPECT_EQ(row.verdict, c.expected);
    EXPECT_EQ(row.reason, c.reason);
  }
}

// The run's time is the latest trusted time; projects are listed once.
TEST(SummaryRowTest, HeaderTakesTheLatestTimeAndEachProjectOnce) {
  std::vector<SummaryRow> rows = {PendingRow(1, u"a_P1_1.tbs.bidx"),
                                  PendingRow(2, u"b_P2_1.tbs.bidx"),
                                  PendingRow(3, u"c_P1_2.tbs.bidx")};
  rows[0].trusted_time = u"2026-12-09 10:00:05";
  rows[1].trusted_time = u"2026-12-09 10:01:00";
  EXPECT_EQ(RunTrustedTime(rows), u"2026-12-09 10:01:00");
  EXPECT_EQ(ProjectsOf(rows), u"P1、P2");
}

// An export long after the run records the trusted time of the export, read
// from the latest run's anchor on the boot clock, not the run's own time:
// its receipt is judged against that time.
TEST(SummaryRowTest, ExportTimeRunsOnFromTheLatestAnchor) {
  std::vector<SummaryRow> rows = {PendingRow(1, u"a_P1_1.tbs.bidx"),
                                  PendingRow(2, u"b_P1_2.tbs.bidx")};
  const int64_t run = 1796810400;  // 2026-12-09 10:00:00 UTC
  rows[0].trusted_time = FormatLocalTime(run - 60);
  rows[0].anchor.Set(run - 60, BootClock::now());
  rows[1].trusted_time = FormatLocalTime(run);
  rows[1].anchor.Set(run, BootClock::now());
  MoveBootClockForTesting(std::chrono::seconds(200));
  EXPECT_EQ(ExportTrustedTime(rows), FormatLocalTime(run + 200));
}

// An earlier receipt never stands beside a new summary; a name without a
// known ending writes nothing; a PDF is what its drawer makes of the sheet,
// and nothing at all when no drawer can draw one.
TEST(SummaryExportTest, ExportWritesWhatItCanAndNothingElse) {
  testing::TempFolder folder;
  const std::string csv = folder.Write("s.csv", "old");
  folder.Write("s.csv.tsr", "old receipt");
  std::vector<SummaryRow> rows = {PendingRow(1, u"a_P1_1.tbs.bidx"),
                                  PendingRow(2, u"b_P1_2.tbs.bidx")};
  rows[1].verdict = SummaryVerdict::kPassed;
  SummarySheet drawn;
  const SummaryPdfDrawer drawer = [&drawn](const SummarySheet& sheet, std::string* bytes,
                                           std::string*) {
    drawn = sheet;
    *bytes = "%PDF-";
    return true;
  };
  const SummaryPdfDrawer no_writer = [](const SummarySheet&, std::string*, std::string* why) {
    *why = "no module here";
    return false;
  };
  const auto at = [&folder](const std::string& name) {
    const std::string path = folder.path() + "/" + name;
    return std::u16string(path.begin(), path.end());
  };
  EXPECT_EQ(ExportSummary(at("s.csv"), rows, false, nullptr).written, kSummaryWritten);
  EXPECT_FALSE(fs::exists(csv + ".tsr"));
  EXPECT_EQ(ExportSummary(at("s.txt"), rows, false, drawer).written, kSummaryUnknownFormat);
  EXPECT_FALSE(fs::exists(folder.path() + "/s.txt"));

  ASSERT_EQ(ExportSummary(at("s.PDF"), rows, false, drawer).written, kSummaryWritten);
  std::ifstream pdf(folder.path() + "/s.PDF", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(pdf), {}), "%PDF-");
  EXPECT_EQ(drawn.projects, u"P1");
  EXPECT_EQ(drawn.passed + drawn.not_passed + drawn.not_verified, 2);
  EXPECT_EQ(drawn.passed, 1);
  ASSERT_EQ(drawn.lines.size(), 2u);
  EXPECT_EQ(drawn.lines[1].number, u"2");
  EXPECT_EQ(drawn.lines[1].verdict, u"通过");

  for (const SummaryPdfDrawer& failing : {no_writer, SummaryPdfDrawer()}) {
    const SummaryExport refused = ExportSummary(at("n.pdf"), rows, false, failing);
    EXPECT_EQ(refused.written, kSummaryNoPdfWriter);
    EXPECT_FALSE(fs::exists(folder.path() + "/n.pdf"));
  }
  EXPECT_EQ(ExportSummary(at("n.pdf"), rows, false, no_writer).why, "no module here");
}

}  // namespace
}  // namespace brevalt
