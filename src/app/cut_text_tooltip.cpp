#include "app/cut_text_tooltip.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>

namespace brevalt::app {
namespace {

// Qt's line edit keeps this many pixels free on either side of its text.
constexpr int kEditTextMargin = 2;

// The whole text of edit when it does not fit; empty when it does.
QString CutEditText(const QLineEdit& edit) {
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.lineWidth = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
  const QRect contents = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit) -
                         edit.textMargins();
  const int room = contents.width() - 2 * kEditTextMargin;
  const QString text = edit.displayText();
  return edit.fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

// The whole text of the cell at pos (viewport coordinates) when it does not
// fit its column; empty when it does or there is no cell.
QString CutCellText(const QAbstractItemView& list, const QPoint& pos) {
  const QModelIndex index = list.indexAt(pos);
  if (!index.isValid())
    return QString();
  const QString text = index.data(Qt::DisplayRole).toString();
  const bool cut = list.sizeHintForIndex(index).width() > list.visualRect(index).width();
  return cut ? text : QString();
}

}  // namespace

CCutTextToolTip::CCutTextToolTip(QObject* parent) : QObject(parent) {}

void CCutTextToolTip::Watch(QLineEdit* edit) {
  edit->installEventFilter(this);
}

void CCutTextToolTip::Watch(QAbstractItemView* list) {
  list->viewport()->installEventFilter(this);
}

QString CCutTextToolTip::WholeTextIfCut(QWidget* watched, const QPoint& pos) {
  if (auto* edit = qobject_cast<QLineEdit*>(watched))
    return CutEditText(*edit);
  if (auto* list = qobject_cast<QAbstractItemView*>(watched->parentWidget()))
    return CutCellText(*list, pos);
  return QString();
}

bool CCutTextToolTip::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip)
    return QObject::eventFilter(watched, event);
  auto* help = static_cast<QHelpEvent*>(event);
  auto* widget = static_cast<QWidget*>(watched);
  const QString text = WholeTextIfCut(widget, help->pos());
  QRect area = widget->rect();  // the tooltip stays while the mouse stays here
  if (auto* list = qobject_cast<QAbstractItemView*>(widget->parentWidget()))
    area = list->visualRect(list->indexAt(help->pos()));
  if (text.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), text, widget, area);
  return true;
}

}  // namespace brevalt::app
