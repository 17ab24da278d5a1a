#include "app/message_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace brevalt::app {
namespace {

std::function<BoxAnswer(const BoxRequest&)>& Hook() {
  static std::function<BoxAnswer(const BoxRequest&)> hook;
  return hook;
}

QMessageBox::Icon ToQtIcon(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::kWarning:
      return QMessageBox::Warning;
    case MessageBoxIcon::kError:
      return QMessageBox::Critical;
    case MessageBoxIcon::kQuestion:
      return QMessageBox::Question;
    case MessageBoxIcon::kInformation:
      break;
  }
  return QMessageBox::Information;
}

// How often a box shown while something holds asks whether it still does.
constexpr int kStillWantedPollMs = 100;

}  // namespace

BoxAnswer ShowMessageBox(QWidget* parent, const BoxRequest& request) {
  return ShowMessageBoxWhile(parent, request, {});
}

BoxAnswer ShowMessageBoxWhile(QWidget* parent, const BoxRequest& request,
                              const std::function<bool()>& still_wanted) {
  if (Hook())
    return Hook()(request);
  QMessageBox box(ToQtIcon(request.icon), request.caption, request.text, QMessageBox::NoButton,
                  parent);
  QTimer poll;
  if (still_wanted) {
    QObject::connect(&poll, &QTimer::timeout, &box, [&box, &still_wanted] {
      if (!still_wanted())
        box.done(QMessageBox::NoButton);
    });
    poll.start(kStillWantedPollMs);
  }
  if (!request.yes_no) {
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
    return BoxAnswer::kOk;
  }
  QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes ? BoxAnswer::kYes : BoxAnswer::kNo;
}

void SetMessageBoxHook(std::function<BoxAnswer(const BoxRequest&)> hook) {
  Hook() = std::move(hook);
}

}  // namespace brevalt::app
