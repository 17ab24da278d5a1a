#include "app/batch/batch_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/batch/batch_table_model.h"
#include "app/brevalt_dlg.h"
#include "app/file_chooser.h"
#include "app/message_box.h"
#include "app/program_icon.h"
#include "app/qt_text.h"
#include "app/window_fit.h"
#include "config/text_convert.h"
#include "log/verify_receipt.h"
#include "summary/bid_list.h"
#include "summary/pdf/summary_pdf.h"
#include "log/receipt_queue.h"
#include "summary/summary_export.h"

namespace brevalt::app {
namespace {

constexpr int kTickMs = 100;  // progress and elapsed time repaint ten times a second

QPushButton* NewButton(const QString& text, const QKeySequence& key, const QString& tip,
                       QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setAutoDefault(false);
  button->setAccessibleName(text);
  button->setShortcut(key);
  button->setToolTip(QStringLiteral("%1（%2）").arg(tip, key.toString(QKeySequence::NativeText)));
  return button;
}

QCheckBox* NewCheckBox(const QString& text, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setAccessibleName(text);
  return box;
}

std::vector<std::string> Utf8Names(const QStringList& names) {
  std::vector<std::string> utf8;
  for (const QString& name : names)
    utf8.push_back(name.toStdString());
  return utf8;
}

QString TimeText(qint64 ms) {
  return QStringLiteral("用时 %1.%2 秒").arg(ms / 1000).arg((ms % 1000) / 100);
}

void Warn(QWidget* parent, const QString& text) {
  ShowMessageBox(parent, {text, QStringLiteral("警告"), MessageBoxIcon::kWarning, false});
}

}  // namespace

CBatchWindow::CBatchWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), summary_receipts_(std::make_unique<CReceiptQueue>()) {
  setWindowTitle(QStringLiteral("批量验证"));
  setWindowIcon(ProgramIcon());
  setAccessibleName(QStringLiteral("批量验证"));
  setAcceptDrops(true);
  BuildControls();
  CBatchRun::Events events;
  events.started = [this](std::size_t index) {
    QMetaObject::invokeMethod(
        this, [this, index] { OnStarted(index); }, Qt::QueuedConnection);
  };
  events.finished = [this](std::size_t index, const SummaryRow& row) {
    QMetaObject::invokeMethod(
        this, [this, index, row] { OnFinished(index, row); }, Qt::QueuedConnection);
  };
  events.receipt = [this](std::size_t index, ReceiptState state) {
    QMetaObject::invokeMethod(
        this, [this, index, state] { model_->SetReceipt(static_cast<int>(index), state); },
        Qt::QueuedConnection);
  };
  events.ended = [this](bool cancelled) {
    QMetaObject::invokeMethod(
        this, [this, cancelled] { OnEnded(cancelled); }, Qt::QueuedConnection);
  };
  run_ = std::make_unique<CBatchRun>(std::move(events));
  SetRunning(false);
  FitIntoScreen(*this, QSize(1340, 700));
}

CBatchWindow::~CBatchWindow() = default;

void CBatchWindow::BuildControls() {
  add_files_ = NewButton(QStringLiteral("添加标书"), QKeySequence::Open,
                         QStringLiteral("选择一份或多份标书"), this);
  add_folder_ =
      NewButton(QStringLiteral("添加文件夹"), QKeySequence(QStringLiteral("Ctrl+Shift+O")),
                QStringLiteral("添加文件夹中的全部标书（不含子文件夹）"), this);
  clear_ = NewButton(QStringLiteral("清空列表"), QKeySequence(QStringLiteral("Ctrl+Shift+Del")),
                     QStringLiteral("清空标书列表"), this);
  verify_rules_ = NewCheckBox(QStringLiteral("验证规则文件"), this);
  write_log_ = NewCheckBox(QStringLiteral("写日志"), this);
  verify_rules_->setChecked(true);
  write_log_->setChecked(true);
  only_failed_ = NewCheckBox(QStringLiteral("只看没通过"), this);
  only_failed_->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
  only_failed_->setToolTip(QStringLiteral("只显示没通过的标书（Ctrl+F）"));

  model_ = new CBatchTableModel(this);
  filter_ = new CBatchTableFilter(this);
  filter_->setSourceModel(model_);
  table_ = new QTableView(this);
  table_->setModel(filter_);
  table_->setAccessibleName(QStringLiteral("标书列表"));
  table_->setAccessibleDescription(
      QStringLiteral("每行一份标书；回车或双击查看该标书的完整验证结果，Ctrl+C 复制验证码"));
  table_->setSortingEnabled(true);
  table_->sortByColumn(kColumnNumber, Qt::AscendingOrder);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setTabKeyNavigation(false);
  table_->setWordWrap(false);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setAccessibleName(QStringLiteral("列标题（单击排序）"));
  table_->verticalHeader()->setAccessibleName(QStringLiteral("行标题"));
  for (auto* corner : table_->findChildren<QAbstractButton*>())
    corner->setAccessibleName(QStringLiteral("全选"));
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setStretchLastSection(false);
  const int widths[kColumnCount] = {40, 160, 70, 50, 120, 60, 0, 230, 45, 80};
  for (int column = 0; column < kColumnCount; ++column)
    table_->setColumnWidth(column, widths[column]);
  // The code is read whole: its column fits the 64 digits of a SHA-256 code.
  table_->setColumnWidth(
      kColumnCode,
      table_->fontMetrics().horizontalAdvance(QStringLiteral("0123456789ABCDEF").repeated(4)) + 24);
  connect(table_, &QTableView::activated, this, &CBatchWindow::ShowDetail);
  auto* copy = new QShortcut(QKeySequence::Copy, table_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(copy, &QShortcut::activated, this, &CBatchWindow::CopyCode);

  progress_ = new QProgressBar(this);
  progress_->setAccessibleName(QStringLiteral("验证进度"));
  progress_->setFormat(QStringLiteral("%v / %m"));
  progress_->setRange(0, 0);
  progress_->setValue(0);
  progress_->setTextVisible(true);
  current_ = new QLabel(this);
  current_->setAccessibleName(QStringLiteral("正在验证的标书"));
  elapsed_ = new QLabel(this);
  elapsed_->setAccessibleName(QStringLiteral("用时"));
  status_ = new QLabel(this);
  status_->setAccessibleName(QStringLiteral("汇总导出状态"));
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  start_ = NewButton(QStringLiteral("开始"), QKeySequence(Qt::Key_F5),
                     QStringLiteral("按表格顺序逐份验证"), this);
  cancel_ = NewButton(QStringLiteral("取消"), QKeySequence(Qt::Key_Escape),
                      QStringLiteral("验证完当前标书后停止"), this);
  export_ = NewButton(QStringLiteral("导出汇总"), QKeySequence(QStringLiteral("Ctrl+E")),
                      QStringLiteral("导出为 CSV 或 PDF，并加盖时间戳"), this);
  close_ = NewButton(QStringLiteral("关闭"), QKeySequence(QStringLiteral("Ctrl+W")),
                     QStringLiteral("关闭批量验证窗口"), this);

  auto* choose_row = new QHBoxLayout;
  for (QWidget* control :
       std::initializer_list<QWidget*>{add_files_, add_folder_, clear_, verify_rules_, write_log_})
    choose_row->addWidget(control);
  choose_row->addStretch();
  choose_row->addWidget(only_failed_);
  auto* progress_row = new QHBoxLayout;
  progress_row->addWidget(progress_, 2);
  progress_row->addWidget(current_, 3);
  progress_row->addWidget(elapsed_, 1);
  auto* command_row = new QHBoxLayout;
  command_row->addWidget(start_);
  command_row->addWidget(cancel_);
  command_row->addWidget(export_);
  command_row->addWidget(status_, 1);
  command_row->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choose_row);
  layout->addWidget(table_, 1);
  layout->addLayout(progress_row);
  layout->addLayout(command_row);

  connect(add_files_, &QPushButton::clicked, this, &CBatchWindow::ChooseFiles);
  connect(add_folder_, &QPushButton::clicked, this, &CBatchWindow::ChooseFolder);
  connect(clear_, &QPushButton::clicked, this, &CBatchWindow::ClearList);
  connect(start_, &QPushButton::clicked, this, &CBatchWindow::Start);
  connect(cancel_, &QPushButton::clicked, this, &CBatchWindow::Cancel);
  connect(export_, &QPushButton::clicked, this, &CBatchWindow::ChooseExport);
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  connect(only_failed_, &QCheckBox::toggled, filter_, &CBatchTableFilter::SetOnlyFailed);
  ticker_ = new QTimer(this);
  ticker_->setInterval(kTickMs);
  connect(ticker_, &QTimer::timeout, this, &CBatchWindow::UpdateProgress);
}

void CBatchWindow::AddBids(const QStringList& names) {
  if (IsRunning())
    return;
  std::vector<std::string> known;
  for (const SummaryRow& row : model_->Rows())
    known.push_back(WideToUtf8(row.path));
  std::vector<SummaryRow> rows = model_->Rows();
  for (const std::string& path : ListBidFiles(Utf8Names(names), known)) {
    rows.push_back(PendingRow(static_cast<int>(rows.size()) + 1, Utf8ToWide(path)));
    bids_.push_back(std::make_unique<CBatchBid>(Utf8ToWide(path)));
  }
  model_->SetRows(std::move(rows));
  done_ = 0;
  UpdateProgress();
}

void CBatchWindow::ChooseFiles() {
  const QStringList files = QFileDialog::getOpenFileNames(
      this, QStringLiteral("添加标书"), QString(), QString::fromUtf8(kBidFileFilter));
  if (!files.isEmpty())
    AddBids(files);
}

void CBatchWindow::ChooseFolder() {
  const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("添加文件夹"));
  if (!folder.isEmpty())
    AddBids({folder});
}

void CBatchWindow::ClearList() {
  if (IsRunning())
    return;
  model_->SetRows({});
  bids_.clear();
  done_ = 0;
  UpdateProgress();
}

void CBatchWindow::Start() {
  if (IsRunning())
    return;
  if (model_->Rows().empty()) {
    Warn(this, QStringLiteral("标书路径为空，请选择要验证的标书！"));
    return;
  }
  // Every bid afresh, in the order the table shows (sorted, filtered rows last).
  std::vector<SummaryRow> rows = model_->Rows();
  std::vector<int> order;
  std::vector<bool> taken(rows.size(), false);
  for (int view_row = 0; view_row < filter_->rowCount(); ++view_row) {
    const int row = filter_->mapToSource(filter_->index(view_row, 0)).row();
    order.push_back(row);
    taken[static_cast<std::size_t>(row)] = true;
  }
  for (std::size_t row = 0; row < rows.size(); ++row)
    if (!taken[row])
      order.push_back(static_cast<int>(row));
  std::vector<CBatchBid*> bids;
  std::vector<SummaryRow> ordered;
  for (int row : order) {
    const std::size_t at = static_cast<std::size_t>(row);
    rows[at] = PendingRow(rows[at].number, rows[at].path);
    bids_[at] = std::make_unique<CBatchBid>(rows[at].path);
    bids.push_back(bids_[at].get());
    ordered.push_back(rows[at]);
  }
  run_order_ = order;
  model_->SetRows(std::move(rows));
  done_ = 0;
  status_->clear();
  BatchOptions options;
  options.verify_rules = verify_rules_->isChecked();
  options.write_log = write_log_->isChecked();
  SetRunning(true);
  clock_.start();
  ticker_->start();
  UpdateProgress();
  run_->Start(std::move(bids), std::move(ordered), options);
}

void CBatchWindow::Cancel() {
  if (!IsRunning())
    return;
  run_->Cancel();
  cancel_->setEnabled(false);
  current_->setText(QStringLiteral("正在取消：验证完当前标书后停止"));
}

bool CBatchWindow::IsRunning() const {
  return running_;
}

const std::vector<SummaryRow>& CBatchWindow::Rows() const {
  return model_->Rows();
}

void CBatchWindow::OnStarted(std::size_t index) {
  const int row = run_order_[index];
  model_->SetCurrent(row);
  current_->setText(QStringLiteral("正在验证：") +
                    ToQString(model_->Rows()[static_cast<std::size_t>(row)].file_name));
}

void CBatchWindow::OnFinished(std::size_t index, const SummaryRow& value) {
  const int row = run_order_[index];
  model_->SetRow(row, value);
  ++done_;
  UpdateProgress();
}

void CBatchWindow::OnEnded(bool cancelled) {
  model_->SetCurrent(-1);
  ticker_->stop();
  SetRunning(false);
  UpdateProgress();
  current_->setText(cancelled ? QStringLiteral("已取消") : QStringLiteral("验证完成"));
  emit RunEnded(cancelled);
}

void CBatchWindow::UpdateProgress() {
  const int total = static_cast<int>(model_->Rows().size());
  progress_->setRange(0, std::max(total, 1));
  progress_->setValue(static_cast<int>(done_));
  progress_->setFormat(QStringLiteral("%1 / %2").arg(done_).arg(total));
  if (clock_.isValid())
    elapsed_->setText(TimeText(clock_.elapsed()));
  // At every tick of a run, also when no row changed since: the bid in hand
  // is marked "验证中…" and a reader of the screen sees the run go on.
  if (running_)
    table_->viewport()->update();
}

void CBatchWindow::SetRunning(bool running) {
  running_ = running;
  for (QWidget* control : std::initializer_list<QWidget*>{
           add_files_, add_folder_, clear_, verify_rules_, write_log_, start_, export_, close_})
    control->setEnabled(!running);
  cancel_->setEnabled(running);
}

// The bid's whole result in the main dialog's own presentation, read from
// the record its run left.
void CBatchWindow::ShowDetail(const QModelIndex& index) {
  const int row = filter_->mapToSource(index).row();
  if (row < 0 || static_cast<std::size_t>(row) >= bids_.size())
    return;
  const SummaryRow& value = model_->Rows()[static_cast<std::size_t>(row)];
  if (value.verdict == SummaryVerdict::kNotVerified) {
    if (!value.reason.empty())
      Warn(this, ToQString(value.reason));
    return;
  }
  CBrevaltDlg viewer(this);
  CBatchBid& bid = *bids_[static_cast<std::size_t>(row)];
  viewer.ShowRecord(bid.Result(), bid.Shown());
  viewer.exec();
}

void CBatchWindow::CopyCode() {
  const QModelIndex index = table_->currentIndex();
  if (index.isValid())
    QApplication::clipboard()->setText(index.siblingAtColumn(kColumnCode).data().toString());
}

void CBatchWindow::ChooseExport() {
  QString selected;
  QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("导出汇总"), QString(),
                                   QStringLiteral("CSV 文件 (*.csv);;PDF 文件 (*.pdf)"), &selected);
  if (path.isEmpty())
    return;
  if (SummaryFormatOf(ToU16(path)).empty())
    path += selected.startsWith(QStringLiteral("PDF")) ? QStringLiteral(".pdf")
                                                       : QStringLiteral(".csv");
  Export(path);
}

bool CBatchWindow::Export(const QString& path) {
  if (IsRunning())
    return false;
  const SummaryExport exported =
      ExportSummary(ToU16(path), model_->Rows(), false,
                    [](const SummarySheet& sheet, std::string* bytes, std::string*) {
                      *bytes = SummaryPdf(sheet);
                      return true;
                    });
  if (exported.written != kSummaryWritten) {
    Warn(this, exported.written == kSummaryUnknownFormat
                   ? QStringLiteral("汇总文件名须以 .csv 或 .pdf 结尾！")
                   : QStringLiteral("写入汇总文件失败：%1").arg(path));
    return false;
  }
  status_->setText(QStringLiteral("已导出 %1，正在加盖时间戳…").arg(path));
  summary_receipts_->Add(ToU16(path), [this](const std::u16string& file, int rc) {
    QMetaObject::invokeMethod(
        this,
        [this, path = ToQString(file), stamped = rc == kReceiptWritten] {
          status_->setText(stamped ? QStringLiteral("已导出 %1，已加盖时间戳").arg(path)
                                   : QStringLiteral("已导出 %1，未能加盖时间戳").arg(path));
          emit SummaryStamped(path, stamped);
        },
        Qt::QueuedConnection);
  });
  return true;
}

void CBatchWindow::WaitUntilIdle() {
  while (IsRunning())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  run_->WaitForReceipts();
  summary_receipts_->WaitUntilIdle();
  QCoreApplication::processEvents();
}

void CBatchWindow::closeEvent(QCloseEvent* event) {
  if (IsRunning()) {
    ShowMessageBox(this, {QStringLiteral("正在验证中，请稍候...！"), QStringLiteral("验证中"),
                          MessageBoxIcon::kInformation, false});
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void CBatchWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !IsRunning())
    event->acceptProposedAction();
}

void CBatchWindow::dropEvent(QDropEvent* event) {
  QStringList names;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile())
      names.append(url.toLocalFile());
  AddBids(names);
  event->acceptProposedAction();
}

}  // namespace brevalt::app
