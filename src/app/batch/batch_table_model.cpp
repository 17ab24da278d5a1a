#include "app/batch/batch_table_model.h"

#include <QColor>

#include "app/qt_text.h"

namespace brevalt::app {
namespace {

constexpr const char* kTitles[kColumnCount] = {"序号",     "文件名", "项目编号", "包组号", "投标人",
                                               "验证结果", "验证码", "原因",     "日志",   "回执"};

QString CellText(const SummaryRow& row, int column) {
  switch (column) {
    case kColumnNumber:
      return QString::number(row.number);
    case kColumnFile:
      return ToQString(row.file_name);
    case kColumnProject:
      return ToQString(row.project);
    case kColumnPackage:
      return ToQString(row.package);
    case kColumnBidder:
      return ToQString(row.bidder);
    case kColumnVerdict:
      return ToQString(VerdictText(row.verdict));
    case kColumnCode:
      return ToQString(row.code);
    case kColumnReason:
      return ToQString(row.reason);
    case kColumnLog:
      return ToQString(LogStateText(row.log));
    case kColumnReceipt:
      return ToQString(ReceiptStateText(row.receipt));
    default:
      return QString();
  }
}

bool IsFailed(const SummaryRow& row) {
  return row.verdict == SummaryVerdict::kNotPassed || !row.reason.empty();
}

}  // namespace

int CBatchTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CBatchTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant CBatchTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount())
    return QVariant();
  const SummaryRow& row = rows_[static_cast<std::size_t>(index.row())];
  const bool verdict = index.column() == kColumnVerdict;
  const bool current = verdict && index.row() == current_;
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
    return current ? QStringLiteral("验证中…") : CellText(row, index.column());
  if (role == Qt::ForegroundRole && verdict) {
    if (current || row.verdict == SummaryVerdict::kNotVerified)
      return QColor(Qt::gray);
    return row.verdict == SummaryVerdict::kPassed ? QColor(0, 0, 255) : QColor(255, 0, 0);
  }
  return QVariant();
}

QVariant CBatchTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && section >= 0 && section < kColumnCount &&
      (role == Qt::DisplayRole || role == Qt::AccessibleTextRole))
    return QString::fromUtf8(kTitles[section]);
  return QAbstractTableModel::headerData(section, orientation, role);
}

void CBatchTableModel::SetRows(std::vector<SummaryRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  current_ = -1;
  endResetModel();
}

void CBatchTableModel::SetRow(int row, const SummaryRow& value) {
  if (row < 0 || row >= rowCount())
    return;
  rows_[static_cast<std::size_t>(row)] = value;
  RowChanged(row);
}

void CBatchTableModel::SetReceipt(int row, ReceiptState state) {
  if (row < 0 || row >= rowCount())
    return;
  rows_[static_cast<std::size_t>(row)].receipt = state;
  emit dataChanged(index(row, kColumnReceipt), index(row, kColumnReceipt));
}

void CBatchTableModel::SetCurrent(int row) {
  const int previous = current_;
  current_ = row;
  RowChanged(previous);
  RowChanged(row);
}

void CBatchTableModel::RowChanged(int row) {
  if (row >= 0 && row < rowCount())
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void CBatchTableFilter::SetOnlyFailed(bool only_failed) {
  only_failed_ = only_failed;
  invalidateFilter();
}

bool CBatchTableFilter::filterAcceptsRow(int source_row, const QModelIndex&) const {
  if (!only_failed_)
    return true;
  const auto* model = static_cast<const CBatchTableModel*>(sourceModel());
  return IsFailed(model->Rows()[static_cast<std::size_t>(source_row)]);
}

bool CBatchTableFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  if (left.column() == kColumnNumber)
    return left.data().toInt() < right.data().toInt();
  return QString::localeAwareCompare(left.data().toString(), right.data().toString()) < 0;
}

}  // namespace brevalt::app
