// Tooltips for cut text: an edit or a list cell too narrow for its text shows
// the whole text when the mouse rests on it.
#ifndef BREVALT_APP_CUT_TEXT_TOOLTIP_H
#define BREVALT_APP_CUT_TEXT_TOOLTIP_H

#include <QObject>
#include <QPoint>
#include <QString>

class QAbstractItemView;
class QLineEdit;
class QWidget;

namespace brevalt::app {

// Watches controls for tooltip requests and answers those on cut text with
// the whole text; text that fits gets no tooltip. Decides at each request,
// so new text, a resized column or a resized window need nothing. Interface
// thread only; lives as long as its parent.
class CCutTextToolTip : public QObject {
  Q_OBJECT

 public:
  explicit CCutTextToolTip(QObject* parent);

  void Watch(QLineEdit* edit);
  void Watch(QAbstractItemView* list);  // its cells

  // The whole text shown at pos (in watched's coordinates) of an edit or a
  // list's viewport when it does not fit; empty when it fits or nothing is
  // there.
  static QString WholeTextIfCut(QWidget* watched, const QPoint& pos);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_CUT_TEXT_TOOLTIP_H
