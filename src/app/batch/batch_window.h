// The many-bids window "批量验证": choose bids (files, a folder, a drop),
// verify them one after another through the dialog's engine, read the
// table, see any bid's whole result in the main dialog's presentation, and
// export a stamped summary.
#ifndef BREVALT_APP_BATCH_BATCH_WINDOW_H
#define BREVALT_APP_BATCH_BATCH_WINDOW_H

#include <QElapsedTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "summary/batch_run.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace brevalt {
class CReceiptQueue;
}

namespace brevalt::app {

class CBatchTableModel;
class CBatchTableFilter;

// Interface thread. While a run goes on, only Cancel, the table and its
// detail view take input; closing is refused until the bid in hand is done.
class CBatchWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CBatchWindow(QWidget* parent = nullptr);
  ~CBatchWindow() override;

  // Adds the bids of names (files, folders) after those already listed; a
  // bid listed already is not added again. Ignored during a run.
  void AddBids(const QStringList& names);
  // "开始": verifies every listed bid in the table's present order.
  void Start();
  // "取消": the run stops after the bid in hand.
  void Cancel();
  // Writes the table to path (".csv" or ".pdf") and stamps it in the
  // background; false when it could not be written (a message box says why).
  bool Export(const QString& path);

  bool IsRunning() const;
  // For tests and the benchmark: the rows as they stand, in the order added.
  const std::vector<SummaryRow>& Rows() const;
  QTableView* Table() const { return table_; }
  // Waits, serving this thread's events, until the run and the receipts of
  // its logs and summaries have ended.
  void WaitUntilIdle();

 signals:
  void RunEnded(bool cancelled);
  void SummaryStamped(const QString& path, bool stamped);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void ChooseFiles();
  void ChooseFolder();
  void ChooseExport();
  void ClearList();
  void ShowDetail(const QModelIndex& index);
  void CopyCode();
  void SetRunning(bool running);
  void UpdateProgress();
  void OnStarted(std::size_t index);
  void OnFinished(std::size_t index, const SummaryRow& row);
  void OnEnded(bool cancelled);

  CBatchTableModel* model_ = nullptr;
  CBatchTableFilter* filter_ = nullptr;
  QTableView* table_ = nullptr;
  QCheckBox* verify_rules_ = nullptr;
  QCheckBox* write_log_ = nullptr;
  QCheckBox* only_failed_ = nullptr;
  QPushButton* add_files_ = nullptr;
  QPushButton* add_folder_ = nullptr;
  QPushButton* clear_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* export_ = nullptr;
  QPushButton* close_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* current_ = nullptr;
  QLabel* elapsed_ = nullptr;
  QLabel* status_ = nullptr;
  QTimer* ticker_ = nullptr;
  QElapsedTimer clock_;
  std::size_t done_ = 0;
  bool running_ = false;        // from Start until the run's end reached this thread
  std::vector<int> run_order_;  // the model's row of each bid of the run, in run order
  // bids_[row]: the bid of the model's row; its run's record once
  // the row shows a verdict.
  std::vector<std::unique_ptr<CBatchBid>> bids_;
  std::unique_ptr<CReceiptQueue> summary_receipts_;
  std::unique_ptr<CBatchRun> run_;  // last: ends first, while the rest still stands
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_BATCH_BATCH_WINDOW_H
