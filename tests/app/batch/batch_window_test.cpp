// The many-bids window verifying through the real closed libraries against
// the development server on loopback: verdicts and reasons per row, the
// detail view against the one-bid dialog, Cancel, the exported summaries and
// their receipts, and the command line's export.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/batch/batch_table_model.h"
#include "app/batch/batch_window.h"
#include "app/brevalt_dlg.h"
#include "app/scripted_user.h"
#include "app/verification_env.h"
#include "cli/cli_run.h"
#include "config/text_convert.h"
#include "engine/bid_file_name.h"
#include "log/verify_log.h"
#include "log/verify_receipt.h"
#include "platform/network_state.h"
#include "record/trusted_anchor.h"
#include "summary/summary_csv.h"

namespace brevalt::app {
namespace {

namespace fs = std::filesystem;
constexpr int kRunTimeoutMs = 60000;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

QString Text(CBrevaltDlg& dialog, int id) {
  if (auto* edit = qobject_cast<QLineEdit*>(dialog.Control(id)))
    return edit->text();
  return static_cast<QLabel*>(dialog.Control(id))->text();
}

// Every result field and list of a main dialog but the trusted time, which
// differs from one run to the next.
QStringList Shown(CBrevaltDlg& dialog) {
  QStringList shown;
  for (int id :
       {kEditBidPath, kEditVerifyCode, kEditStepNetwork, kEditStepLocalClock, kEditStepRulesFile,
        kEditStepBidFormat, kEditStepSignature, kStaticVerdict, kEditBidder, kStaticBidderValidity})
    shown << Text(dialog, id);
  for (int id : {kListBidInfo, kListOpeners, kListMessages})
    for (const ListRow& row : dialog.GetListRows(id))
      for (const std::u16string& cell : row)
        shown << QString::fromStdU16String(cell);
  return shown;
}

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

}  // namespace

class BatchWindowTest : public QObject {
  Q_OBJECT

 private:
  fs::path Config() const {
    return fs::path(qgetenv("XDG_CONFIG_HOME").toStdString()) / "TAVIK/qzv";
  }

  bool RunAll(CBatchWindow& window) {
    window.Start();
    return QTest::qWaitFor([&] { return !window.IsRunning(); }, kRunTimeoutMs);
  }

  // openssl's own time-stamp check of file's receipt.
  int OpensslVerify(const fs::path& file) const {
    return Shell("openssl ts -verify -data '" + file.string() + "' -in '" + file.string() +
                 ".tsr' -CAfile '" + (Config() / "trust/tsa/devserver.pem").string() + "'");
  }

  std::unique_ptr<testing::VerificationEnv> env_;
  testing::ScriptedUser user_;
  QTemporaryDir dir_;
  fs::path bids_;  // 1: good, 2: tampered, 3: wrongly named; a subfolder and a text file
  std::unique_ptr<CBatchWindow> window_;

 private slots:
  void initTestCase() {
    if (!HasNetworkConnection())
      QSKIP("no network interface is up besides loopback, so step 1 cannot pass here");
    env_ = std::make_unique<testing::VerificationEnv>();
    QVERIFY2(env_->ok(), env_->error().c_str());
    bids_ = fs::path(dir_.path().toStdString()) / "bids";
    fs::create_directories(bids_ / "sub");
    fs::copy_file(env_->good_bid(), bids_ / "1_P2026001_1.tbs.bidx");
    fs::copy_file(env_->damaged_bid(), bids_ / "2_P2026001_2.tbs.bidx");
    fs::copy_file(env_->good_bid(), bids_ / "3_wrong.tbs.bidx");
    fs::copy_file(env_->good_bid(), bids_ / "sub/4_P2026001_1.tbs.bidx");
    std::ofstream(bids_ / "notes.txt") << "not a bid";
  }
  void cleanupTestCase() {
    window_.reset();
    env_.reset();
  }

  // A folder (named twice, once through one of its files) gives its three
  // bids once each, by name; each row gets its verdict and first reason,
  // the verified ones a log and a receipt.
  void FolderGivesEachRowItsVerdictAndReason() {
    window_ = std::make_unique<CBatchWindow>();
    window_->AddBids({QString::fromStdString((bids_ / "1_P2026001_1.tbs.bidx").string()),
                      QString::fromStdString(bids_.string())});
    QCOMPARE(window_->Rows().size(), 3u);
    QVERIFY(RunAll(*window_));
    window_->WaitUntilIdle();
    struct Expected {
      const char16_t* file;
      SummaryVerdict verdict;
      LogState log;
      ReceiptState receipt;
    };
    const Expected expected[] = {
        {u"1_P2026001_1.tbs.bidx", SummaryVerdict::kPassed, LogState::kWritten,
         ReceiptState::kWritten},
        {u"2_P2026001_2.tbs.bidx", SummaryVerdict::kNotPassed, LogState::kWritten,
         ReceiptState::kWritten},
        {u"3_wrong.tbs.bidx", SummaryVerdict::kNotVerified, LogState::kNone, ReceiptState::kNone},
    };
    for (std::size_t i = 0; i < 3; ++i) {
      const SummaryRow& row = window_->Rows()[i];
      QCOMPARE(row.file_name, std::u16string(expected[i].file));
      QCOMPARE(row.verdict, expected[i].verdict);
      QCOMPARE(row.log, expected[i].log);
      QCOMPARE(row.receipt, expected[i].receipt);
    }
    QVERIFY(window_->Rows()[0].reason.empty());
    QVERIFY(!window_->Rows()[1].reason.empty());
    QCOMPARE(window_->Rows()[2].reason, std::u16string(kBidFileNameWarning));
    QCOMPARE(window_->Rows()[0].code.size(), 64u);
  }

  // Enter on a row shows the main dialog's presentation of that run; it
  // equals what the one-bid dialog shows for the same file.
  void RowDetailEqualsTheOneBidDialog() {
    QVERIFY(window_);
    for (int row : {0, 1}) {
      const std::string path = WideToUtf8(window_->Rows()[static_cast<std::size_t>(row)].path);
      CBrevaltDlg one;
      one.ChooseBidFile(QString::fromStdString(path));
      static_cast<QAbstractButton*>(one.Control(kButtonVerify))->click();
      QVERIFY(QTest::qWaitFor([&] { return !one.IsVerifying(); }, kRunTimeoutMs));
      QStringList detail;
      QTimer::singleShot(0, [&detail] {
        if (auto* viewer = qobject_cast<CBrevaltDlg*>(QApplication::activeModalWidget())) {
          detail = Shown(*viewer);
          viewer->reject();
        }
      });
      QTableView* table = window_->Table();
      table->setCurrentIndex(table->model()->index(row, 0));
      QTest::keyClick(table, Qt::Key_Return);
      QCOMPARE(detail, Shown(one));
      QCOMPARE(window_->Rows()[static_cast<std::size_t>(row)].reason,
               one.GetListRows(kListMessages).empty() ? std::u16string()
                                                      : one.GetListRows(kListMessages)[0][1]);
    }
  }

  // The summaries hold every row, carry the trusted time of their export,
  // and their receipts pass OpenSSL's check and ours, even when exported
  // long after the run (the boot clock moved on by 20 minutes).
  void SummariesReadBackAndTheirReceiptsVerify() {
    QVERIFY(window_);
    MoveBootClockForTesting(std::chrono::minutes(20));
    const fs::path csv = fs::path(dir_.path().toStdString()) / "summary.csv";
    const fs::path pdf = fs::path(dir_.path().toStdString()) / "summary.pdf";
    QVERIFY(window_->Export(QString::fromStdString(csv.string())));
    QVERIFY(window_->Export(QString::fromStdString(pdf.string())));
    window_->WaitUntilIdle();
    const std::string stamp = ReadFile(csv).substr(0, ReadFile(csv).find(','));
    QVERIFY(stamp.starts_with("\xEF\xBB\xBF时间戳时间：20"));
    QVERIFY(Contains(ReadFile(csv), "验证时间：" + WideToUtf8(RunTrustedTime(window_->Rows()))));
    QVERIFY(Contains(ReadFile(pdf), stamp.substr(3)));
    for (const fs::path& summary : {csv, pdf}) {
      const ReceiptCheck check = CheckVerifyReceipt(Utf8ToWide(summary.string()));
      QVERIFY2(check.valid, check.reason.c_str());
    }
    const std::string rows =
        "import csv,sys; r=list(csv.reader(open(sys.argv[1],encoding='utf-8-sig')));"
        "sys.exit(0 if len(r)==5 and r[1][5]=='验证结果' and r[2][5]=='通过'"
        " and r[3][5]=='没通过' and r[4][1]=='3_wrong.tbs.bidx' else 1)";
    QCOMPARE(Shell("python3 -c \"" + rows + "\" '" + csv.string() + "'"), 0);
    if (Shell("command -v pdftotext") == 0) {
      QCOMPARE(Shell("pdftotext -layout '" + pdf.string() + "' '" + pdf.string() + ".txt'"), 0);
      const std::string text = ReadFile(pdf.string() + ".txt");
      for (const char* name :
           {"1_P2026001_1.tbs.bidx", "2_P2026001_2.tbs.bidx", "3_wrong.tbs.bidx"})
        QVERIFY2(Contains(text, name), name);
      QVERIFY(Contains(text, WideToUtf8(window_->Rows()[0].code)));  // whole, never cut
    } else {
      QVERIFY(Contains(ReadFile(pdf), "/Type /Page\n"));
    }
    QCOMPARE(OpensslVerify(csv), 0);
    QCOMPARE(OpensslVerify(pdf), 0);
  }

  // brevalt-cli --export writes the same summary through the same code.
  void CommandLineExportsTheSameSummary() {
    const fs::path csv = fs::path(dir_.path().toStdString()) / "cli.csv";
    std::ostringstream out, err;
    const int status = cli::RunCli(
        {"--summary", "--export", csv.string(), bids_.string() + "/1_P2026001_1.tbs.bidx",
         bids_.string() + "/2_P2026001_2.tbs.bidx", bids_.string() + "/3_wrong.tbs.bidx"},
        out, err);
    QCOMPARE(status, 1);
    const std::string bytes = ReadFile(csv);
    for (const SummaryRow& row : window_->Rows())
      QVERIFY(Contains(bytes, WideToUtf8(row.file_name) + "," + WideToUtf8(row.project)));
    QCOMPARE(OpensslVerify(csv), 0);
  }

  // Cancel while the first bid waits for its rules file: that bid ends
  // whole, log included; no other bid is verified or logged; no temporary
  // file is left in the log folder.
  void CancelLeavesWholeLogsOnly() {
    const fs::path folder = fs::path(dir_.path().toStdString()) / "cancel";
    fs::create_directories(folder);
    for (const char* name :
         {"c1_P2026001_1.tbs.bidx", "c2_P2026001_1.tbs.bidx", "c3_P2026001_1.tbs.bidx"})
      fs::copy_file(env_->good_bid(), folder / name);
    CBatchWindow window;
    window.AddBids({QString::fromStdString(folder.string())});
    env_->HoldRules();
    window.Start();
    const QModelIndex first = window.Table()->model()->index(0, kColumnVerdict);
    QVERIFY(QTest::qWaitFor([&] { return first.data().toString() == "验证中…"; }, kRunTimeoutMs));
    window.Cancel();
    env_->ReleaseRules();
    QVERIFY(QTest::qWaitFor([&] { return !window.IsRunning(); }, kRunTimeoutMs));
    window.WaitUntilIdle();
    QCOMPARE(window.Rows()[0].verdict, SummaryVerdict::kNotPassed);
    QCOMPARE(window.Rows()[0].log, LogState::kWritten);
    const std::string log = ReadFile(Config() / "Log/c1_P2026001_1.tbs.bidx.txt");
    QVERIFY(Contains(log, WideToAnsiString(u"8、消息框\n")));
    for (std::size_t i : {1u, 2u}) {
      QCOMPARE(window.Rows()[i].verdict, SummaryVerdict::kNotVerified);
      QVERIFY(!fs::exists(Config() / ("Log/" + WideToUtf8(window.Rows()[i].file_name) + ".txt")));
    }
    for (const auto& entry : fs::directory_iterator(Config() / "Log"))
      QVERIFY(!entry.path().filename().string().starts_with(".~"));
  }

  // Every control can be named by a screen reader and reached by keyboard,
  // and the window fits 1366×768 at 150 % (911×512 device-independent
  // pixels), so at 100 % too.
  void ControlsAreNamedAndTheWindowFits() {
    CBatchWindow window;
    for (QWidget* control : window.findChildren<QWidget*>()) {
      if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QAbstractItemView*>(control) ||
          qobject_cast<QProgressBar*>(control))
        QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
      if (auto* button = qobject_cast<QPushButton*>(control))
        QVERIFY2(
            !button->shortcut().isEmpty() &&
                button->toolTip().contains(button->shortcut().toString(QKeySequence::NativeText)),
            qPrintable(button->text()));
    }
    QVERIFY(window.minimumSizeHint().width() <= 1366 * 2 / 3);
    QVERIFY(window.minimumSizeHint().height() <= 768 * 2 / 3);
  }

  // Cells from outside that a spreadsheet would run are defused; fields with
  // separators are quoted.
  void CsvFieldsAreQuotedAndDefused() {
    SummaryRow row = PendingRow(1, u"/b/=cmd_1_2.tbs.bidx");
    row.bidder = u"甲, \"乙\"";
    row.reason = u"@SUM(A1)";
    const std::string csv = SummaryCsv({row}, u"2026-12-09 10:00:00");
    QVERIFY(
        Contains(csv, "\r\n1,'=cmd_1_2.tbs.bidx,1,2,\"甲, \"\"乙\"\"\",未验证,,'@SUM(A1),,\r\n"));
  }
};

}  // namespace brevalt::app

QTEST_MAIN(brevalt::app::BatchWindowTest)
#include "batch_window_test.moc"
