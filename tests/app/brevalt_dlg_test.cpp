// The main dialog without a verification: its controls, the choose command
// with the bid file name rule, clearing messages and closing. Against the
// fake closed libraries, so nothing leaves the process.
#include <QAccessible>
#include <QCheckBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QToolTip>
#include <QtTest>

#include "app/app_command_line.h"
#include "app/brevalt_dlg.h"
#include "app/cut_text_tooltip.h"
#include "app/dialog_units.h"
#include "app/interface_thread.h"
#include "app/main_dialog_layout.h"
#include "app/qt_text.h"
#include "app/scripted_user.h"
#include "app/verify_tip_info_dlg.h"
#include "app/window_fit.h"
#include "app/without_user_input.h"
#include "engine/bid_file_name.h"
#include "fakes/fake_tavik.h"
#include "record/verify_result.h"
#include "support/scoped_settings.h"

namespace brevalt::app {

class BrevaltDlgTest : public QObject {
  Q_OBJECT

 private:
  QString Text(CBrevaltDlg& dialog, int id) {
    QWidget* control = dialog.Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
      return edit->text();
    return static_cast<QLabel*>(control)->text();
  }
  void Click(CBrevaltDlg& dialog, int id) {
    QTest::mouseClick(static_cast<QPushButton*>(dialog.Control(id)), Qt::LeftButton);
  }

  brevalt::testing::ScopedSettings settings_;  // no Setting.ini; the fake answers
  testing::ScriptedUser user_;

 private slots:
  void init() { fake::Reset(); }
  void cleanup() { QVERIFY2(fake::AllReleased(), fake::Outstanding().c_str()); }

  void ControlsAreBuiltFromTheTable() {
    CBrevaltDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Brevalt"));
    const DialogUnits units(dialog.font());
    for (const ControlSpec& spec : MainDialogControls()) {
      if (spec.id == kNoId)
        continue;
      QWidget* control = dialog.Control(spec.id);
      QVERIFY(control != nullptr);
      QCOMPARE(control->geometry(), units.ToPixels(spec.x, spec.y, spec.width, spec.height));
      QCOMPARE(control->isHidden(), spec.hidden);
      if (auto* edit = qobject_cast<QLineEdit*>(control))
        QVERIFY(edit->isReadOnly());
      const QString name = QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
      QVERIFY2(spec.kind == ControlKind::kStatic || !name.isEmpty(), spec.text);
    }
    auto* openers = static_cast<QTableWidget*>(dialog.Control(kListOpeners));
    QVERIFY(openers->showGrid());
    QCOMPARE(openers->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(openers->horizontalHeaderItem(2)->text(), QStringLiteral("证书的有效性"));
    QCOMPARE(openers->accessibleName(), QStringLiteral("开标人"));  // a screen reader's words
    QCOMPARE(dialog.Control(kStaticVerdict)->accessibleName(), QStringLiteral("最终检测结果"));
    QCOMPARE(dialog.Control(kEditStepTimestamp)->accessibleName(), QStringLiteral("2、时间戳时间"));
    QVERIFY(static_cast<QCheckBox*>(dialog.Control(kCheckVerifyRules))->isChecked());
    QVERIFY(static_cast<QCheckBox*>(dialog.Control(kCheckWriteLog))->isChecked());
    const QFont verdict = dialog.Control(kStaticVerdict)->font();
    QCOMPARE(verdict.pixelSize(), 25);
    QVERIFY(QFontDatabase::families(QFontDatabase::SimplifiedChinese).contains(verdict.family()));
    QCOMPARE(dialog.Control(kStaticBidderValidity)->palette().color(QPalette::WindowText),
             QColor(Qt::blue));
    QVERIFY(!dialog.WaitDialog()->isVisible());
    QVERIFY(dialog.Result().FinalResult.empty());
  }

  void ChoosingAFileAppliesTheNameRule_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("project");  // null: refused
    QTest::addColumn<QString>("package");
    QTest::newRow("plain") << "x_1_2.tbs.bidx"
                           << "1"
                           << "2";
    QTest::newRow("blanks round the stem") << "  x_1_2  .tbs.bidx"
                                           << "1"
                                           << "2";
    QTest::newRow("four pieces") << "abc_2012_001_3.tbs.bidx" << QString() << QString();
  }

  // The choose command carries the chosen path and name through the rule
  // (its full table is the engine's): a refused name empties BidPath but
  // keeps the edit and the numbers of the file chosen before it.
  void ChoosingAFileAppliesTheNameRule() {
    QFETCH(QString, name);
    QFETCH(QString, project);
    QFETCH(QString, package);
    CBrevaltDlg dialog;
    const QString earlier = QStringLiteral("/bids/a_P9_7.tbs.bidx");
    user_.ChooseNextFile(earlier);
    Click(dialog, kButtonChoose);
    user_.ChooseNextFile(QStringLiteral("/bids/") + name);
    Click(dialog, kButtonChoose);
    const CVerifyResult& result = dialog.Result();
    const std::vector<BoxRequest> boxes = user_.TakeBoxes();
    QCOMPARE(QString::fromStdU16String(result.BidFileName), name);
    if (project.isNull()) {
      QCOMPARE(boxes.size(), size_t{1});
      QCOMPARE(boxes[0].text, QString::fromStdU16String(kBidFileNameWarning));
      QCOMPARE(boxes[0].caption, QStringLiteral("警告"));
      QVERIFY(result.BidPath.empty());
      QCOMPARE(Text(dialog, kEditBidPath), earlier);
      QCOMPARE(QString::fromStdU16String(result.ProjectNumber), QStringLiteral("P9"));
      QCOMPARE(QString::fromStdU16String(result.PackageNumber), QStringLiteral("7"));
    } else {
      QVERIFY(boxes.empty());
      QCOMPARE(Text(dialog, kEditBidPath), QStringLiteral("/bids/") + name);
      QCOMPARE(QString::fromStdU16String(result.BidPath), QStringLiteral("/bids/") + name);
      QCOMPARE(QString::fromStdU16String(result.ProjectNumber), project);
      QCOMPARE(QString::fromStdU16String(result.PackageNumber), package);
    }
  }

  // On a 1366 x 768 screen, the message's reason, the code and every column show.
  void ReasonAndCodeShowWhole() {
    CBrevaltDlg dialog;
    dialog.show();
    const QSize wanted = dialog.Content()->size() + QSize(30, 0);  // with the scroll bar
    dialog.resize(FitIntoArea({0, 0, 1366, 728}, wanted, {4, 30, 4, 4}).size());
    dialog.SetListRows(kListMessages, {{u"标书格式", u"标书格式错误！", u"错误", u"请检查"}});
    auto* list = static_cast<QTableWidget*>(dialog.Control(kListMessages));
    QWidget* viewport = dialog.Content()->parentWidget();
    const QRect shown(list->mapTo(viewport, QPoint(0, 0)), list->size());
    QVERIFY(viewport->rect().contains(shown));
    const QRect last = list->visualRect(list->model()->index(0, 3));
    QVERIFY(list->viewport()->rect().contains(last));
    dialog.SetControlText(kEditVerifyCode, std::u16string(64, u'D'));
    QCOMPARE(CCutTextToolTip::WholeTextIfCut(dialog.Control(kEditVerifyCode), QPoint()), QString());
  }

  // The offscreen screen (800 x 600) is smaller than the dialog: the window
  // stays inside it and scrolling brings every control into view.
  void WindowFitsTheScreenAndScrollsToEveryControl() {
    CBrevaltDlg dialog;
    dialog.show();
    QVERIFY(dialog.screen()->availableGeometry().contains(dialog.frameGeometry()));
    auto* scroll = static_cast<QScrollArea*>(dialog.Content()->parentWidget()->parentWidget());
    for (const ControlSpec& spec : MainDialogControls()) {
      QWidget* control = dialog.Control(spec.id);
      if (control == nullptr || spec.hidden)
        continue;
      scroll->ensureWidgetVisible(control, 0, 0);
      const QRect shown(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size());
      QVERIFY2(scroll->viewport()->rect().contains(shown), spec.text);
    }
  }

  // A window manager may minimise the wait dialog (and the program with it):
  // it shows normal at once and at the next run. Afterwards the control that
  // had the focus has it again, so Enter does not end the dialog.
  void WaitDialogStaysNormalAndFocusComesBack() {
    CBrevaltDlg dialog;
    dialog.show();
    QWidget* verify = dialog.Control(kButtonVerify);
    verify->setFocus();
    CVerifyTipInfoDlg* wait = dialog.WaitDialog();
    wait->OnVerifyBegin();
    QVERIFY(!dialog.isEnabled());
    wait->setWindowState(Qt::WindowMinimized);
    dialog.setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!wait->isMinimized());
    QVERIFY(!dialog.isMinimized());
    wait->OnVerifyEnd();
    QCOMPARE(dialog.focusWidget(), verify);
    wait->setWindowState(Qt::WindowMinimized);  // left so by an earlier run
    wait->OnVerifyBegin();
    QVERIFY(wait->isVisible() && !wait->isMinimized());
    wait->OnVerifyEnd();
  }

  // Cut text, and only cut text, shows whole in a tooltip.
  void CutTextsShowWholeInATooltip() {
    CBrevaltDlg dialog;
    dialog.show();
    const QString advice(60, QChar(u'请'));
    dialog.SetListRows(kListMessages, {{u"时间戳", u"获取时间戳失败！", u"警告", ToU16(advice)}});
    dialog.SetControlText(kEditBidder, ToU16(advice));
    auto* list = static_cast<QTableWidget*>(dialog.Control(kListMessages));
    QWidget* cells = list->viewport();
    const auto cell = [list](int column) {
      return list->visualRect(list->model()->index(0, column)).center();
    };
    QCOMPARE(CCutTextToolTip::WholeTextIfCut(cells, cell(3)), advice);
    QCOMPARE(CCutTextToolTip::WholeTextIfCut(cells, cell(0)), QString());
    QHelpEvent help(QEvent::ToolTip, cell(3), cells->mapToGlobal(cell(3)));
    QApplication::sendEvent(cells, &help);
    QCOMPARE(QToolTip::text(), advice);
    list->setColumnWidth(3, 2000);
    QCOMPARE(CCutTextToolTip::WholeTextIfCut(cells, cell(3)), QString());
    QWidget* bidder = dialog.Control(kEditBidder);
    QCOMPARE(CCutTextToolTip::WholeTextIfCut(bidder, QPoint()), advice);
    dialog.SetControlText(kEditBidder, u"王五");
    QCOMPARE(CCutTextToolTip::WholeTextIfCut(bidder, QPoint()), QString());
  }

  void CommandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("file");
    using A = AppCommandLine::Action;
    QTest::newRow("none") << QStringList{} << int(A::kRun) << QString();
    QTest::newRow("file") << QStringList{"a_1_2.tbs.bidx"} << int(A::kRun) << "a_1_2.tbs.bidx";
    QTest::newRow("help wins") << QStringList{"x", "-z", "--help"} << int(A::kHelp) << QString();
    QTest::newRow("version") << QStringList{"--version"} << int(A::kVersion) << QString();
    QTest::newRow("-- then a dash")
        << QStringList{"--", "-a_1_2.tbs.bidx"} << int(A::kRun) << "-a_1_2.tbs.bidx";
    QTest::newRow("not an option after --")
        << QStringList{"--", "--help"} << int(A::kRun) << "--help";
    QTest::newRow("unknown option") << QStringList{"-x"} << int(A::kUsageError) << QString();
    // Several files go to the many-bids window, none is chosen in the dialog.
    QTest::newRow("two files") << QStringList{"a", "--", "b"} << int(A::kRun) << QString();
  }

  void CommandLine() {
    QFETCH(QStringList, args);
    QFETCH(int, action);
    QFETCH(QString, file);
    const AppCommandLine line = ParseAppCommandLine(args);
    QCOMPARE(int(line.action), action);
    QCOMPARE(line.file, file);
    QCOMPARE(line.error.isEmpty(), line.action != AppCommandLine::Action::kUsageError);
  }

  void ClearMessagesGivesTheFiveCategoryRows() {
    CBrevaltDlg dialog;
    Click(dialog, kButtonClearMessages);
    const std::vector<ListRow> expected = {{u"环境", u"", u"", u""},
                                           {u"时间戳", u"", u"", u""},
                                           {u"标书格式", u"", u"", u""},
                                           {u"签名验证", u"", u"", u""},
                                           {u"其它", u"", u"", u""}};
    QVERIFY(dialog.GetListRows(kListMessages) == expected);
  }

  // No key ends the dialog without the question; "No" keeps it as it is.
  void KeysNeverEndTheDialogUnasked_data() {
    QTest::addColumn<int>("focus");
    QTest::addColumn<int>("key");
    QTest::newRow("Escape on a button") << int(kButtonVerify) << int(Qt::Key_Escape);
    QTest::newRow("Enter in the path field") << int(kEditBidPath) << int(Qt::Key_Return);
  }

  void KeysNeverEndTheDialogUnasked() {
    QFETCH(int, focus);
    QFETCH(int, key);
    CBrevaltDlg dialog;
    dialog.show();
    dialog.Control(focus)->setFocus();
    QTest::keyClick(dialog.Control(focus), Qt::Key(key));
    QVERIFY(dialog.isVisible());
    QCOMPARE(user_.TakeBoxes().size(), size_t{key == Qt::Key_Escape});
  }

  // Clicks and keys while work runs are dropped, not replayed after it.
  void InputDuringWorkNeverActsAfterIt() {
    CBrevaltDlg dialog;
    dialog.show();
    auto* copy = static_cast<QPushButton*>(dialog.Control(kButtonCopyCode));
    int clicks = 0;
    connect(copy, &QPushButton::clicked, [&clicks] { ++clicks; });
    RunWithoutUserInput(&dialog, [&] {
      CallOnThreadOf(&dialog, [&] {
        QTest::mouseClick(copy, Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Escape);
      });
    });
    QCoreApplication::processEvents();
    QCOMPARE(clicks, 0);
    QVERIFY(user_.TakeBoxes().empty());
    QTest::mouseClick(copy, Qt::LeftButton);
    QCOMPARE(clicks, 1);
  }

  // "No" keeps the dialog and what it shows; "Yes" ends it, from Escape too.
  void ClosingAsksFirst() {
    CBrevaltDlg dialog;
    dialog.show();
    user_.ChooseNextFile(QStringLiteral("/bids/a_P9_7.tbs.bidx"));
    Click(dialog, kButtonChoose);
    Click(dialog, kButtonClose);
    std::vector<BoxRequest> boxes = user_.TakeBoxes();
    QCOMPARE(boxes.size(), size_t{1});
    QCOMPARE(boxes[0].text, QStringLiteral("您确定要退出吗？"));
    QCOMPARE(boxes[0].caption, QStringLiteral("退出"));
    QVERIFY(boxes[0].yes_no);
    QVERIFY(dialog.isVisible());
    QCOMPARE(Text(dialog, kEditBidPath), QStringLiteral("/bids/a_P9_7.tbs.bidx"));
    user_.AnswerNextQuestion(BoxAnswer::kYes);
    dialog.close();
    QVERIFY(!dialog.isVisible());
    dialog.show();
    user_.AnswerNextQuestion(BoxAnswer::kYes);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QVERIFY(user_.TakeBoxes().size() == 2);
  }
};

}  // namespace brevalt::app

QTEST_MAIN(brevalt::app::BrevaltDlgTest)
#include "brevalt_dlg_test.moc"
