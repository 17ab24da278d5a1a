// The main dialog running verifications through the real closed libraries
// against the development server on loopback: what the controls show, the
// certificate viewers, and the guards while a run is in progress.
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <nlohmann/json.hpp>
#include <sstream>

#include "app/brevalt_dlg.h"
#include "app/cert_viewer/cert_viewer_dialog.h"
#include "app/main_dialog_layout.h"
#include "app/scripted_user.h"
#include "app/verification_env.h"
#include "app/verify_tip_info_dlg.h"
#include "cli/cli_run.h"
#include "log/verify_log.h"
#include "log/verify_receipt.h"
#include "platform/network_state.h"
#include "record/verify_result.h"

namespace brevalt::app {
namespace {

constexpr int kRunTimeoutMs = 30000;

QString Text(CBrevaltDlg& dialog, int id) {
  QWidget* control = dialog.Control(id);
  if (auto* edit = qobject_cast<QLineEdit*>(control))
    return edit->text();
  return static_cast<QLabel*>(control)->text();
}

void Click(CBrevaltDlg& dialog, int id) {
  static_cast<QPushButton*>(dialog.Control(id))->click();
}

QColor VerdictColour(CBrevaltDlg& dialog) {
  return dialog.Control(kStaticVerdict)->palette().color(QPalette::WindowText);
}

// The rows the next certificate viewer shows; the viewer is closed at once.
QStringList* CaptureNextViewer() {
  auto* rows = new QStringList;
  QTimer::singleShot(0, [rows] {
    if (auto* viewer = qobject_cast<pkiui::CertViewerDialog*>(QApplication::activeModalWidget())) {
      *rows = viewer->Rows();
      viewer->reject();
    }
  });
  return rows;
}

// What the command line reports for path (one JSON line, no log).
nlohmann::json CliReport(const std::string& path) {
  std::ostringstream out;
  std::ostringstream err;
  cli::RunCli({"--json", "--no-log", path}, out, err);
  return nlohmann::json::parse(out.str(), nullptr, false);
}

nlohmann::json JsonRows(const std::vector<ListRow>& rows) {
  nlohmann::json json = nlohmann::json::array();
  for (const ListRow& row : rows) {
    nlohmann::json cells = nlohmann::json::array();
    for (const std::u16string& cell : row)
      cells.push_back(QString::fromStdU16String(cell).toStdString());
    json.push_back(cells);
  }
  return json;
}

}  // namespace

class BrevaltDlgRunTest : public QObject {
  Q_OBJECT

 private:
  // Chooses path and verifies it; returns once the run has finished.
  bool Verify(CBrevaltDlg& dialog, const std::string& path) {
    user_.ChooseNextFile(QString::fromStdString(path));
    Click(dialog, kButtonChoose);
    Click(dialog, kButtonVerify);
    return QTest::qWaitFor([&] { return !dialog.IsVerifying(); }, kRunTimeoutMs);
  }

  std::unique_ptr<testing::VerificationEnv> env_;
  testing::ScriptedUser user_;

 private slots:
  void initTestCase() {
    if (!HasNetworkConnection())
      QSKIP("no network interface is up besides loopback, so step 1 cannot pass here");
    env_ = std::make_unique<testing::VerificationEnv>();
    QVERIFY2(env_->ok(), env_->error().c_str());
  }
  void cleanupTestCase() { env_.reset(); }
  void init() { user_.TakeBoxes(); }

  // One run of a good bid, then what the user can do with its results: copy
  // the code; a double click shows the certificate of that row, the bidder
  // button the bidder's, the hidden button without a selection warns; and
  // verify with no file warns and leaves the results on screen. The verify
  // button has the focus again after a run, so Enter pushes it.
  void GoodBidShowsEveryResultWithTheVerdictInBlue() {
    CBrevaltDlg dialog;
    dialog.show();
    QWidget* verify = dialog.Control(kButtonVerify);
    verify->setFocus();
    QVERIFY(Verify(dialog, env_->good_bid()));
    QVERIFY(user_.TakeBoxes().empty());
    QCOMPARE(dialog.focusWidget(), verify);
    for (int id : {kEditStepNetwork, kEditStepLocalClock, kEditStepRulesFile, kEditStepBidFormat,
                   kEditStepSignature})
      QCOMPARE(Text(dialog, id), QStringLiteral("√"));
    QCOMPARE(Text(dialog, kStaticVerdict), QStringLiteral("通过"));
    QCOMPARE(VerdictColour(dialog), QColor(0, 0, 255));
    QCOMPARE(Text(dialog, kEditBidder), QStringLiteral("王五  单位： 华东建设有限公司"));
    QCOMPARE(Text(dialog, kStaticBidderValidity), QStringLiteral("有效"));
    const QString code = Text(dialog, kEditVerifyCode);
    QCOMPARE(code.size(), 64);
    Click(dialog, kButtonCopyCode);
    QCOMPARE(QGuiApplication::clipboard()->text(), code);
    QCOMPARE(dialog.GetListRows(kListOpeners).size(), size_t{3});
    QVERIFY(dialog.GetListRows(kListMessages).empty());
    QVERIFY(dialog.isEnabled());
    QVERIFY(!dialog.WaitDialog()->isVisible());

    auto* openers = static_cast<QTableWidget*>(dialog.Control(kListOpeners));
    std::unique_ptr<QStringList> rows(CaptureNextViewer());
    emit openers->cellDoubleClicked(1, 1);
    QVERIFY(rows->join('\n').contains(QStringLiteral("CN=开标人乙")));
    rows.reset(CaptureNextViewer());
    openers->setFocus();
    openers->setCurrentCell(2, 0);
    QTest::keyClick(openers, Qt::Key_Return);  // as a double click
    QVERIFY(rows->join('\n').contains(QStringLiteral("CN=开标人丙")) && dialog.isVisible());
    openers->clearSelection();
    verify->setFocus();
    rows.reset(CaptureNextViewer());
    Click(dialog, kButtonViewBidderCert);
    QVERIFY(rows->join('\n').contains(QStringLiteral("CN=王五")));
    Click(dialog, kButtonViewOpenerCert);
    QCOMPARE(user_.TakeBoxes().at(0).caption, QStringLiteral("警告"));

    user_.ChooseNextFile(QStringLiteral("/bids/refused.bidx"));  // empties BidPath
    Click(dialog, kButtonChoose);
    user_.TakeBoxes();
    Click(dialog, kButtonVerify);
    const std::vector<BoxRequest> boxes = user_.TakeBoxes();
    QCOMPARE(boxes.size(), size_t{1});
    QCOMPARE(boxes[0].text, QStringLiteral("标书路径为空，请选择要验证的标书！"));
    QCOMPARE(Text(dialog, kEditVerifyCode), code);
    QCOMPARE(Text(dialog, kStaticVerdict), QStringLiteral("通过"));
    QTest::keyClick(&dialog, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(user_.TakeBoxes().size(), size_t{1});
  }

  // The dialog shows what brevalt-cli --json reports for the same bid: the
  // same texts and rows (the trusted time aside: each run asks anew).
  void ControlsShowWhatTheCommandLineReports() {
    for (const std::string& bid : {env_->good_bid(), env_->damaged_bid()}) {
      CBrevaltDlg dialog;
      QVERIFY(Verify(dialog, bid));
      const nlohmann::json cli = CliReport(bid);
      QVERIFY2(cli.is_object(), bid.c_str());
      const int steps[] = {kEditStepNetwork,   kEditStepTimestamp, kEditStepLocalClock,
                           kEditStepRulesFile, kEditStepBidFormat, kEditStepSignature};
      for (int i : {0, 2, 3, 4, 5})
        QCOMPARE(Text(dialog, steps[i]).toStdString(), cli["steps"][i].get<std::string>());
      QCOMPARE(Text(dialog, kStaticVerdict).toStdString(), cli["verdict"].get<std::string>());
      QCOMPARE(VerdictColour(dialog) == QColor(0, 0, 255) ? "blue" : "red",
               cli["verdict_colour"].get<std::string>());
      QCOMPARE(Text(dialog, kEditVerifyCode).toStdString(),
               cli["verification_code"].get<std::string>());
      QCOMPARE(Text(dialog, kEditBidder).toStdString(), cli["bidder"].get<std::string>());
      QCOMPARE(Text(dialog, kStaticBidderValidity).toStdString(),
               cli["bidder_cert_validity"].get<std::string>());
      QVERIFY(JsonRows(dialog.GetListRows(kListBidInfo)) == cli["bid_info"]);
      QVERIFY(JsonRows(dialog.GetListRows(kListOpeners)) == cli["openers"]);
      QVERIFY(JsonRows(dialog.GetListRows(kListMessages)) == cli["messages"]);
    }
  }

  void FailedStepTurnsTheVerdictRed() {
    CBrevaltDlg dialog;
    QVERIFY(Verify(dialog, env_->damaged_bid()));
    QCOMPARE(Text(dialog, kStaticVerdict), QStringLiteral("没通过"));
    QCOMPARE(Text(dialog, kEditStepBidFormat), QStringLiteral("×"));
    QCOMPARE(VerdictColour(dialog), QColor(255, 0, 0));
    QCOMPARE(dialog.GetListRows(kListMessages).size(), size_t{1});
  }

  // A receipt 8 s behind the authority holds no run; the last run's stays.
  void NextRunStartsWhileTheReceiptIsOutstanding() {
    env_->SlowReceiptStamps(8000);
    const auto restore = qScopeGuard([this] { env_->SlowReceiptStamps(0); });
    auto dialog = std::make_unique<CBrevaltDlg>();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(Verify(*dialog, env_->damaged_bid()) && Verify(*dialog, env_->damaged_bid()));
    QVERIFY2(timer.elapsed() < 6000, QByteArray::number(timer.elapsed()));
    const std::u16string log = VerifyLogFolder() + u"/" + dialog->Result().BidFileName + u".txt";
    dialog.reset();  // waits for the receipts
    const ReceiptCheck check = CheckVerifyReceipt(log);
    QVERIFY2(check.valid, check.reason.c_str());
  }

  // While the worker waits for the rules service: the wait dialog is shown
  // centred, the main dialog takes no input, and every way of closing is
  // refused with the busy message. Afterwards all is enabled again, also
  // when the check failed.
  void RunInProgressRefusesEverything() {
    CBrevaltDlg dialog;
    dialog.show();
    env_->HoldRules();
    const auto release = qScopeGuard([this] { env_->ReleaseRules(); });  // also on a failure
    user_.ChooseNextFile(QString::fromStdString(env_->good_bid()));
    Click(dialog, kButtonChoose);
    Click(dialog, kButtonVerify);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isEnabled(), kRunTimeoutMs);  // the worker's wait
    QVERIFY(dialog.WaitDialog()->isVisible());
    QVERIFY(dialog.WaitDialog()->isEnabled());
    const QPoint off =
        dialog.WaitDialog()->frameGeometry().center() - dialog.frameGeometry().center();
    QVERIFY(off.manhattanLength() <= 4);  // centred, up to rounding
    Click(dialog, kButtonVerify);         // a disabled window takes no click at all
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(user_.TakeBoxes().empty());
    dialog.close();   // the window's close box
    dialog.reject();  // Escape
    dialog.accept();  // Enter
    const std::vector<BoxRequest> boxes = user_.TakeBoxes();
    QCOMPARE(boxes.size(), size_t{3});
    for (const BoxRequest& box : boxes) {
      QCOMPARE(box.text, QStringLiteral("正在验证中，请稍候...！"));
      QCOMPARE(box.caption, QStringLiteral("验证中"));
    }
    QVERIFY(dialog.isVisible());
    env_->ReleaseRules();
    QVERIFY(QTest::qWaitFor([&] { return !dialog.IsVerifying(); }, kRunTimeoutMs));
    QVERIFY(dialog.isEnabled());
    QVERIFY(!dialog.WaitDialog()->isVisible());
    QCOMPARE(Text(dialog, kStaticVerdict), QStringLiteral("没通过"));
    QCOMPARE(Text(dialog, kEditStepRulesFile), QStringLiteral("×"));
  }
};

}  // namespace brevalt::app

QTEST_MAIN(brevalt::app::BrevaltDlgRunTest)
#include "brevalt_dlg_run_test.moc"
