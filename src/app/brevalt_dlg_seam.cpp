// The main dialog as the verification run's dialog seam. Each call runs on
// the interface thread; a worker's call waits there until it has run.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <algorithm>

#include "app/brevalt_dlg.h"
#include "app/interface_thread.h"
#include "app/message_box.h"
#include "app/qt_text.h"
#include "app/verify_tip_info_dlg.h"
#include "engine/result_display.h"
#include "engine/verification_run.h"

namespace brevalt::app {
void CBrevaltDlg::SetControlText(int id, const std::u16string& text) {
  CallOnThreadOf(this, [this, id, text] {
    QWidget* control = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      edit->setText(ToQString(text));
      edit->setCursorPosition(0);  // show the start of a long text, as an edit does
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
      label->setText(ToQString(text));
    }
    if (id == kStaticVerdict)
      ApplyVerdictColour();
  });
}

std::u16string CBrevaltDlg::GetControlText(int id) {
  return CallOnThreadOf(this, [this, id] {
    QWidget* control = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
      return ToU16(edit->text());
    if (auto* label = qobject_cast<QLabel*>(control))
      return ToU16(label->text());
    return std::u16string();
  });
}

bool CBrevaltDlg::IsChecked(int id) {
  return CallOnThreadOf(this, [this, id] {
    auto* box = qobject_cast<QCheckBox*>(Control(id));
    return box != nullptr && box->isChecked();
  });
}

void CBrevaltDlg::SetListRows(int id, const std::vector<ListRow>& rows) {
  CallOnThreadOf(this, [this, id, &rows] {
    QTableWidget* list = List(id);
    if (list == nullptr)
      return;
    list->setRowCount(0);
    list->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < list->rowCount(); ++row) {
      const ListRow& cells = rows[static_cast<size_t>(row)];
      for (int column = 0; column < list->columnCount(); ++column) {
        const size_t index = static_cast<size_t>(column);
        list->setItem(
            row, column,
            new QTableWidgetItem(index < cells.size() ? ToQString(cells[index]) : QString()));
      }
    }
    // A message's detail (its second column) is the reason a bid failed.
    const bool reason = std::any_of(rows.begin(), rows.end(), [](const ListRow& cells) {
      return cells.size() > 1 && !cells[1].empty();
    });
    if (id == kListMessages && reason)
      ShowReasonInSight();
  });
}

std::vector<ListRow> CBrevaltDlg::GetListRows(int id) {
  return CallOnThreadOf(this, [this, id] {
    std::vector<ListRow> rows;
    QTableWidget* list = List(id);
    for (int row = 0; list != nullptr && row < list->rowCount(); ++row) {
      ListRow cells;
      for (int column = 0; column < list->columnCount(); ++column) {
        const QTableWidgetItem* item = list->item(row, column);
        cells.push_back(item != nullptr ? ToU16(item->text()) : std::u16string());
      }
      rows.push_back(std::move(cells));
    }
    return rows;
  });
}

void CBrevaltDlg::BeginWait() {
  CallOnThreadOf(this, [this] { wait_dialog_->OnVerifyBegin(); });
}

void CBrevaltDlg::EndWait() {
  CallOnThreadOf(this, [this] { wait_dialog_->OnVerifyEnd(); });
}

void CBrevaltDlg::ShowWaitCursor(bool shown) {
  CallOnThreadOf(this, [shown] {
    if (shown)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else
      QApplication::restoreOverrideCursor();
  });
}

void CBrevaltDlg::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                                 MessageBoxIcon icon) {
  CallOnThreadOf(this, [this, &text, &caption, icon] {
    app::ShowMessageBox(this, {ToQString(text), ToQString(caption), icon, false});
  });
}

// Called with the worker waiting (or on the interface thread between runs),
// so the record's step states are stable while they are read.
void CBrevaltDlg::ApplyVerdictColour() {
  QWidget* verdict = Control(kStaticVerdict);
  QPalette palette = verdict->palette();
  const bool blue = VerdictColourOf(run_->Result()) == VerdictColour::kBlue;
  palette.setColor(QPalette::WindowText, blue ? QColor(0, 0, 255) : QColor(255, 0, 0));
  verdict->setPalette(palette);
}

}  // namespace brevalt::app
