// The certificate viewer window: a read-only table of a certificate's fields
// and a close button.
#ifndef BREVALT_APP_CERT_VIEWER_CERT_VIEWER_DIALOG_H
#define BREVALT_APP_CERT_VIEWER_CERT_VIEWER_DIALOG_H

#include <QDialog>

#include "app/cert_viewer/cert_details.h"

class QTableWidget;

namespace brevalt::pkiui {

class CertViewerDialog : public QDialog {
  Q_OBJECT

 public:
  // Fills the table from details; parent may be null. Interface thread only.
  CertViewerDialog(const CertDetails& details, QWidget* parent);

  // The table's rows as "field: value" lines, as shown.
  QStringList Rows() const;

 private:
  void AddRow(const QString& field, const std::string& value);

  QTableWidget* table_;  // owned by this dialog through Qt's parent chain
};

}  // namespace brevalt::pkiui

#endif  // BREVALT_APP_CERT_VIEWER_CERT_VIEWER_DIALOG_H
