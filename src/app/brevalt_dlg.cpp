// The main dialog's construction, layout, closing and scrolling.
#include "app/brevalt_dlg.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/batch/batch_entry.h"
#include "app/cut_text_tooltip.h"
#include "app/dialog_units.h"
#include "app/log_receipts.h"
#include "app/main_dialog_layout.h"
#include "app/message_box.h"
#include "app/program_icon.h"
#include "app/verdict_font.h"
#include "app/verify_tip_info_dlg.h"
#include "app/window_fit.h"
#include "engine/verification_run.h"
#include "log/verify_log.h"
#include "log/verify_receipt.h"
#include "platform/user_folder.h"

namespace brevalt::app {
namespace {

// Scroll steps in pixels; room kept around a control scrolled into sight.
constexpr int kLineStep = 5;
constexpr int kSightMargin = 8;
constexpr int kPageStep = 130;

QTableWidget* NewReportList(QWidget* parent) {
  auto* list = new QTableWidget(parent);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setShowGrid(true);
  list->setWordWrap(false);
  list->setTabKeyNavigation(false);
  list->verticalHeader()->hide();
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
  list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list->horizontalHeader()->setHighlightSections(false);
  return list;
}

QWidget* NewControl(const ControlSpec& spec, QWidget* parent) {
  const QString text = QString::fromUtf8(spec.text);
  switch (spec.kind) {
    case ControlKind::kStatic: {
      auto* label = new QLabel(text, parent);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::kEdit:
    case ControlKind::kReadOnlyEdit: {
      auto* edit = new QLineEdit(parent);
      edit->setReadOnly(spec.kind == ControlKind::kReadOnlyEdit);
      return edit;
    }
    case ControlKind::kButton: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);  // Enter is handled by the dialog
      return button;
    }
    case ControlKind::kCheckBox:
      return new QCheckBox(text, parent);
    case ControlKind::kGroupBox:
      return new QGroupBox(text, parent);
    case ControlKind::kListView:
      return NewReportList(parent);
  }
  return nullptr;
}

}  // namespace

CBrevaltDlg::CBrevaltDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Brevalt"));
  setWindowIcon(ProgramIcon());
  setFont(DialogFont(9));
  BuildControls();
  NameControls();
  WatchCutTexts();
  SetUpScrolling();
  receipts_ = std::make_unique<CLogReceipts>(
      [](const std::u16string& log) { WriteVerifyReceipt(log); },
      [](const std::u16string& log) {
        std::error_code ignored;
        std::filesystem::remove(ToNativePath(ReceiptPathOf(log)), ignored);
      });
  // The run's last step writes the log (when box 1030 is checked); its
  // receipt follows in the background, so the run ends with the log.
  run_ = std::make_unique<CVerificationRun>(
      *this, [receipts = receipts_.get()](const CVerifyResult& result, IDialogSeam& seam) {
        const std::u16string& name = result.BidFileName;
        unsigned long ticket = seam.IsChecked(kCheckWriteLog) ? receipts->BeginLog(name) : 0;
        std::u16string written;
        if (WriteVerifyLog(result, seam, &written) != kLogWritten)
          return;
        if (ticket == 0)  // the box was checked meanwhile
          ticket = receipts->BeginLog(name);
        receipts->Add(name, written, ticket);
      });
  ConnectCommands();
  OnInitDialog();
}

// Closing is refused during a run, so normally no worker is left here. Should
// one still run, its calls onto this thread are served until it is done:
// joining it outright would wait for a worker that waits for this thread.
CBrevaltDlg::~CBrevaltDlg() {
  while (run_ && run_->IsVerifying())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void CBrevaltDlg::BuildControls() {
  content_ = new QWidget;
  const DialogUnits units(font());
  content_->setFixedSize(units.ToPixels(kMainDialogWidth, kMainDialogHeight));
  std::vector<QWidget*> frames;
  for (const ControlSpec& spec : MainDialogControls()) {
    QWidget* control = NewControl(spec, content_);
    control->setGeometry(units.ToPixels(spec.x, spec.y, spec.width, spec.height));
    control->setHidden(spec.hidden);
    if (spec.kind == ControlKind::kGroupBox)
      frames.push_back(control);
    if (spec.id != kNoId)
      controls_[spec.id] = control;
  }
  for (QWidget* frame : frames)
    frame->lower();  // drawn behind, never covering the controls they frame
  Control(kStaticVerdict)->setFont(VerdictFont());
  QPalette blue = Control(kStaticBidderValidity)->palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  Control(kStaticBidderValidity)->setPalette(blue);
  for (const ListSpec& list : MainDialogLists()) {
    QTableWidget* table = List(list.id);
    table->setColumnCount(static_cast<int>(list.columns.size()));
    // Room for the columns: inside the frame, beside a vertical scroll bar.
    int room = table->width() - 2 * table->frameWidth() -
               table->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (const ColumnSpec& column : list.columns)
      room -= column.width;
    for (int column = 0; column < table->columnCount(); ++column) {
      const ColumnSpec& spec = list.columns[static_cast<size_t>(column)];
      table->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromUtf8(spec.title)));
      table->setColumnWidth(column, spec.width == kFillColumn ? std::max(room, 1) : spec.width);
    }
  }
}

void CBrevaltDlg::SetUpScrolling() {
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setAlignment(Qt::AlignCenter);  // a window larger than the content frames it
  scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  scroll_->setWidget(content_);
  scroll_->verticalScrollBar()->setSingleStep(kLineStep);
  scroll_->verticalScrollBar()->setPageStep(kPageStep);
  const int bar = scroll_->verticalScrollBar()->sizeHint().width();
  // Two pixels more than the content: a fractional scale factor may round
  // the window a pixel narrower, which would add a horizontal scroll bar.
  preferred_size_ = QSize(content_->width() + bar + 2, content_->height());
  resize(preferred_size_);
  scroll_->setGeometry(rect());
}

// A screen reader says each field's and list's caption, and the verdict's:
// the caption is the label or frame drawn before it (without its colon or
// the note in brackets).
void CBrevaltDlg::NameControls() {
  QString caption;
  for (const ControlSpec& spec : MainDialogControls()) {
    const QString text = QString::fromUtf8(spec.text);
    if (spec.id == kNoId && !text.isEmpty()) {
      caption = text.section(QLatin1Char('('), 0, 0);
      caption.remove(QStringLiteral("："));
      continue;
    }
    const bool named = spec.kind == ControlKind::kEdit || spec.kind == ControlKind::kReadOnlyEdit ||
                       spec.kind == ControlKind::kListView || spec.id == kStaticVerdict;
    if (named && spec.id != kNoId)
      Control(spec.id)->setAccessibleName(caption);
  }
}

void CBrevaltDlg::WatchCutTexts() {
  auto* tooltips = new CCutTextToolTip(this);
  for (const auto& [id, control] : controls_) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
      tooltips->Watch(edit);
    else if (auto* list = qobject_cast<QTableWidget*>(control))
      tooltips->Watch(list);
  }
}

void CBrevaltDlg::OnInitDialog() {
  wait_dialog_ = new CVerifyTipInfoDlg(this);
  auto* about = new QAction(QStringLiteral("关于 Brevalt(&A)..."), this);
  about->setShortcut(QKeySequence::HelpContents);  // F1, from the keyboard too
  connect(about, &QAction::triggered, this, &CBrevaltDlg::OnAbout);
  addAction(about);
  InstallBatchEntry(*this);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  FitIntoScreen(*this, preferred_size_);
  static_cast<QCheckBox*>(Control(kCheckVerifyRules))->setChecked(true);
  static_cast<QCheckBox*>(Control(kCheckWriteLog))->setChecked(true);
  run_->UpdateResultDisplay();
  Control(kEditBidPath)->setFocus();
}

QWidget* CBrevaltDlg::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QTableWidget* CBrevaltDlg::List(int id) const {
  return qobject_cast<QTableWidget*>(Control(id));
}

const CVerifyResult& CBrevaltDlg::Result() const {
  return run_->Result();
}

bool CBrevaltDlg::IsVerifying() const {
  return run_->IsVerifying();
}

bool CBrevaltDlg::IsBusy() const {
  return interface_steps_ || IsVerifying();
}

bool CBrevaltDlg::RefuseWhileVerifying() {
  if (!IsBusy())
    return false;
  // Closes by itself when the run ends, so it never stands over the result.
  app::ShowMessageBoxWhile(this,
                           {QStringLiteral("正在验证中，请稍候...！"), QStringLiteral("验证中"),
                            MessageBoxIcon::kInformation, false},
                           [this] { return IsBusy(); });
  return true;
}

// With "写日志" unchecked the window holds the only copy of the result, so
// nothing ends the dialog without this question; No keeps it as it is.
// A dialog that only shows a record another window keeps loses nothing.
bool CBrevaltDlg::AskToQuit() {
  if (stored_record_)
    return true;
  const BoxAnswer answer =
      app::ShowMessageBox(this, {QStringLiteral("您确定要退出吗？"), QStringLiteral("退出"),
                                 MessageBoxIcon::kQuestion, true});
  return answer == BoxAnswer::kYes;
}

void CBrevaltDlg::done(int result) {
  if (!RefuseWhileVerifying() && AskToQuit())
    QDialog::done(result);
}

void CBrevaltDlg::reject() {
  close();
}

void CBrevaltDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (RefuseWhileVerifying() || !AskToQuit())
    return;
  QDialog::done(QDialog::Rejected);
  event->accept();
}

// Enter pushes the focused push button and opens the certificate of the
// openers list's current row, as a double click does; elsewhere it does
// nothing (Escape asks before ending the dialog, see reject).
void CBrevaltDlg::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
      button->click();
    else if (focusWidget() == List(kListOpeners) && List(kListOpeners)->currentRow() >= 0)
      OnNMDblclkOpenerList(List(kListOpeners)->currentRow());
    return;
  }
  QDialog::keyPressEvent(event);
}

void CBrevaltDlg::RefreshDisplay() {
  run_->UpdateResultDisplay();
}

// The message list says why a bid failed: after a result with a message it
// is scrolled into sight, the verdict above it staying in sight where the
// window is tall enough.
void CBrevaltDlg::ShowReasonInSight() {
  QScrollBar* bar = scroll_->verticalScrollBar();
  bar->setValue(bar->minimum());
  scroll_->ensureWidgetVisible(List(kListMessages), 0, kSightMargin);
}

// Fitted again, once, when the window system has framed the shown window
// (the first fit had to guess the frame).
void CBrevaltDlg::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  if (!fitted_ && isVisible() && frameGeometry() != geometry()) {
    fitted_ = true;
    QTimer::singleShot(0, this, [this] { FitIntoScreen(*this, preferred_size_); });
  }
}

// A new size shows the content from its top again.
void CBrevaltDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (scroll_ != nullptr) {
    scroll_->setGeometry(rect());
    scroll_->verticalScrollBar()->setValue(scroll_->verticalScrollBar()->minimum());
  }
}

}  // namespace brevalt::app
