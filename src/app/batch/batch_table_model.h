// The many-bids table: one row per bid, and the view of it that sorts and
// keeps only the failed bids.
#ifndef BREVALT_APP_BATCH_BATCH_TABLE_MODEL_H
#define BREVALT_APP_BATCH_BATCH_TABLE_MODEL_H

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <vector>

#include "summary/summary_row.h"

namespace brevalt::app {

enum BatchColumn : int {
  kColumnNumber,
  kColumnFile,
  kColumnProject,
  kColumnPackage,
  kColumnBidder,
  kColumnVerdict,
  kColumnCode,
  kColumnReason,
  kColumnLog,
  kColumnReceipt,
  kColumnCount,
};

// Rows in the order they were added; the verdict in blue ("通过"), red
// ("没通过") or grey (not verified yet), the bid being verified marked
// "验证中…". Interface thread only.
class CBatchTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetRows(std::vector<SummaryRow> rows);
  const std::vector<SummaryRow>& Rows() const { return rows_; }
  void SetRow(int row, const SummaryRow& value);
  void SetReceipt(int row, ReceiptState state);
  // The row being verified, or -1.
  void SetCurrent(int row);

 private:
  void RowChanged(int row);

  std::vector<SummaryRow> rows_;
  int current_ = -1;
};

// Sorts by any column (numbers as numbers) and, with OnlyFailed, keeps the
// rows whose verdict is "没通过" or whose name was refused.
class CBatchTableFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;
  void SetOnlyFailed(bool only_failed);

 protected:
  bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override;
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

 private:
  bool only_failed_ = false;
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_BATCH_BATCH_TABLE_MODEL_H
