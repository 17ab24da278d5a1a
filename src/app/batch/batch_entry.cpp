#include "app/batch/batch_entry.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

#include "app/batch/batch_window.h"
#include "app/brevalt_dlg.h"

namespace brevalt::app {
namespace {

QStringList LocalFiles(const QMimeData* data) {
  QStringList files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile())
      files.append(url.toLocalFile());
  return files;
}

// Drops on the main dialog: the many-bids window for several files or a
// folder, the choose command for one file. Refused during the dialog's run.
class CDropOnDialog : public QObject {
 public:
  explicit CDropOnDialog(CBrevaltDlg& dialog) : QObject(&dialog), dialog_(dialog) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &dialog_)
      return false;
    if (event->type() == QEvent::DragEnter) {
      auto* drag = static_cast<QDragEnterEvent*>(event);
      if (!dialog_.IsVerifying() && !LocalFiles(drag->mimeData()).isEmpty())
        drag->acceptProposedAction();
      return true;
    }
    if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      drop->acceptProposedAction();
      DropOnDialog(dialog_, LocalFiles(drop->mimeData()));
      return true;
    }
    return false;
  }

 private:
  CBrevaltDlg& dialog_;
};

}  // namespace

void DropOnDialog(CBrevaltDlg& dialog, const QStringList& files) {
  if (dialog.IsVerifying())
    return;
  if (files.size() == 1 && QFileInfo(files.front()).isFile())
    dialog.ChooseBidFile(QFileInfo(files.front()).absoluteFilePath());
  else if (!files.isEmpty())
    OpenBatchWindow(dialog, files);
}

void InstallBatchEntry(CBrevaltDlg& dialog) {
  auto* batch = new QAction(QStringLiteral("批量验证"), &dialog);
  batch->setShortcut(QKeySequence(QString::fromLatin1(kBatchShortcut)));
  batch->setToolTip(QStringLiteral("批量验证（%1）").arg(QString::fromLatin1(kBatchShortcut)));
  QObject::connect(batch, &QAction::triggered, &dialog, [&dialog] { OpenBatchWindow(dialog); });
  dialog.addAction(batch);
  dialog.setAcceptDrops(true);
  dialog.installEventFilter(new CDropOnDialog(dialog));
}

CBatchWindow* OpenBatchWindow(CBrevaltDlg& dialog, const QStringList& names) {
  auto* window = dialog.findChild<CBatchWindow*>(QString(), Qt::FindDirectChildrenOnly);
  if (window == nullptr)
    window = new CBatchWindow(&dialog);
  window->show();
  window->raise();
  window->activateWindow();
  if (!names.isEmpty())
    window->AddBids(names);
  return window;
}

}  // namespace brevalt::app
