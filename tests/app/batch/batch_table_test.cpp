// The many-bids table and the ways into its window, without a verification:
// against the fake closed libraries, so nothing leaves the process.
#include <QAction>
#include <QPushButton>
#include <QtTest>

#include "app/app_command_line.h"
#include "app/batch/batch_entry.h"
#include "app/batch/batch_table_model.h"
#include "app/batch/batch_window.h"
#include "app/brevalt_dlg.h"
#include "app/scripted_user.h"
#include "cli/cli_options.h"
#include "support/scoped_settings.h"
#include "support/temp_folder.h"

namespace brevalt::app {
namespace {

SummaryRow Row(int number, SummaryVerdict verdict, const char16_t* reason = u"") {
  SummaryRow row =
      PendingRow(number, u"/b/x" + std::u16string(1, u'0' + number) + u"_P1_1.tbs.bidx");
  row.verdict = verdict;
  row.reason = reason;
  return row;
}

}  // namespace

class BatchTableTest : public QObject {
  Q_OBJECT

  brevalt::testing::ScopedSettings settings_;  // no Setting.ini: every run stops at step 1
  testing::ScriptedUser user_;

 private slots:
  // Numbers sort as numbers; "only failed" keeps failed and refused rows;
  // the verdict is blue, red or grey.
  void TableSortsFiltersAndColours() {
    CBatchTableModel model;
    std::vector<SummaryRow> rows;
    for (int number : {1, 2, 9})
      rows.push_back(Row(number, SummaryVerdict::kPassed));
    rows.push_back(Row(10, SummaryVerdict::kNotPassed, u"打开标书文件失败！"));
    rows.push_back(Row(11, SummaryVerdict::kNotVerified, u"标书文件名格式不正确！"));
    rows.push_back(Row(12, SummaryVerdict::kNotVerified));
    model.SetRows(rows);
    CBatchTableFilter filter;
    filter.setSourceModel(&model);
    filter.sort(kColumnNumber, Qt::DescendingOrder);
    QCOMPARE(filter.index(0, kColumnNumber).data().toString(), QStringLiteral("12"));
    QCOMPARE(filter.index(3, kColumnNumber).data().toString(), QStringLiteral("9"));
    filter.SetOnlyFailed(true);
    QCOMPARE(filter.rowCount(), 2);
    const QColor expected[] = {QColor(0, 0, 255), QColor(255, 0, 0), QColor(Qt::gray)};
    for (int row : {0, 3, 5})
      QCOMPARE(model.index(row, kColumnVerdict).data(Qt::ForegroundRole).value<QColor>(),
               expected[row == 0   ? 0
                        : row == 3 ? 1
                                   : 2]);
    model.SetCurrent(5);
    QCOMPARE(model.index(5, kColumnVerdict).data().toString(), QStringLiteral("验证中…"));
  }

  // The context menu offers "批量验证" with its shortcut; dropping several
  // files or a folder opens the window with them, one file is chosen.
  void MainDialogOpensTheWindow() {
    brevalt::testing::TempFolder folder;
    const std::string a = folder.Write("a_P1_1.tbs.bidx", "x");
    const std::string b = folder.Write("b_P1_1.tbs.bidx", "x");
    CBrevaltDlg dialog;
    bool offered = false;
    for (QAction* action : dialog.actions())
      offered |= action->text() == "批量验证" && action->shortcut() == QKeySequence(kBatchShortcut);
    QVERIFY(offered);
    const auto drop = [&](const QStringList& files) { DropOnDialog(dialog, files); };
    drop({QString::fromStdString(a)});
    QCOMPARE(dialog.Result().BidPath, std::u16string(a.begin(), a.end()));
    QVERIFY(dialog.findChild<CBatchWindow*>() == nullptr);
    drop({QString::fromStdString(folder.path())});
    auto* window = dialog.findChild<CBatchWindow*>();
    QVERIFY(window != nullptr && window->isVisible());
    QCOMPARE(window->Rows().size(), 2u);
  }

  // Several files on the command line go to the window; brevalt-cli takes
  // --export only with a summary name it can write.
  void CommandLinesTakeSeveralBidsAndAnExport() {
    QCOMPARE(ParseAppCommandLine({"a", "b"}).batch, QStringList({"a", "b"}));
    QVERIFY(ParseAppCommandLine({"a"}).batch.isEmpty());
    const struct {
      std::vector<std::string> args;
      bool accepted;
    } cases[] = {{{"--export", "s.CSV", "a"}, true},
                 {{"--export=s.pdf", "a"}, true},
                 {{"--export", "s.txt", "a"}, false},
                 {{"a", "--export"}, false}};
    for (const auto& c : cases) {
      cli::CliOptions options;
      std::string error;
      QCOMPARE(cli::ParseCliOptions(c.args, &options, &error), c.accepted);
    }
  }

  // While a run goes on, nothing but Cancel takes a command and the window
  // cannot be closed; afterwards everything works again.
  void RunRefusesEverythingButCancel() {
    brevalt::testing::TempFolder folder;
    for (const char* name : {"a_P1_1.tbs.bidx", "b_P1_1.tbs.bidx", "c_P1_1.tbs.bidx"})
      folder.Write(name, "x");
    CBatchWindow window;
    window.show();
    window.AddBids({QString::fromStdString(folder.path())});
    window.Start();
    QVERIFY(window.IsRunning());
    window.AddBids({QString::fromStdString(folder.path() + "/a_P1_1.tbs.bidx")});
    QVERIFY(!window.close());
    for (QPushButton* button : window.findChildren<QPushButton*>())
      QCOMPARE(button->isEnabled(), button->text() == "取消");
    QVERIFY(QTest::qWaitFor([&] { return !window.IsRunning(); }, 60000));
    QCOMPARE(window.Rows().size(), 3u);
    QVERIFY(window.close());
  }
};

}  // namespace brevalt::app

QTEST_MAIN(brevalt::app::BatchTableTest)
#include "batch_table_test.moc"
