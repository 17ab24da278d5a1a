#include "app/cert_viewer/cert_viewer_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace brevalt::pkiui {

CertViewerDialog::CertViewerDialog(const CertDetails& details, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(0, 2, this)) {
  setWindowTitle(QStringLiteral("证书"));
  setModal(true);
  resize(640, 440);
  table_->setObjectName(QStringLiteral("certFields"));
  table_->setHorizontalHeaderLabels({QStringLiteral("字段"), QStringLiteral("值")});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setWordWrap(true);
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setColumnWidth(0, 150);

  AddRow(QStringLiteral("使用者"), details.subject);
  AddRow(QStringLiteral("颁发者"), details.issuer);
  AddRow(QStringLiteral("序列号"), details.serial);
  AddRow(QStringLiteral("有效期从"), details.not_before);
  AddRow(QStringLiteral("有效期到"), details.not_after);
  AddRow(QStringLiteral("公钥"),
         details.key_algorithm + "，" + std::to_string(details.key_bits) + " 位");
  AddRow(QStringLiteral("签名算法"), details.signature_algorithm);
  AddRow(QStringLiteral("指纹 (SHA-256)"), details.sha256);
  for (const CertExtension& extension : details.extensions) {
    QString field = QString::fromStdString(extension.name);
    if (extension.critical)
      field += QStringLiteral("（关键）");
    AddRow(field, extension.value);
  }
  table_->resizeRowsToContents();

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
  close->setDefault(true);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(buttons);
}

void CertViewerDialog::AddRow(const QString& field, const std::string& value) {
  const int row = table_->rowCount();
  table_->insertRow(row);
  table_->setItem(row, 0, new QTableWidgetItem(field));
  table_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(value).trimmed()));
}

QStringList CertViewerDialog::Rows() const {
  QStringList rows;
  for (int row = 0; row < table_->rowCount(); ++row)
    rows << table_->item(row, 0)->text() + QStringLiteral(": ") + table_->item(row, 1)->text();
  return rows;
}

}  // namespace brevalt::pkiui
