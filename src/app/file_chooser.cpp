#include "app/file_chooser.h"

#include <QFileDialog>

namespace brevalt::app {
namespace {

std::function<QString()>& Hook() {
  static std::function<QString()> hook;
  return hook;
}

}  // namespace

QString ChooseFileToOpen(QWidget* parent) {
  if (Hook())
    return Hook()();
  return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                      QString::fromUtf8(kBidFileFilter));
}

void SetFileChooserHook(std::function<QString()> hook) {
  Hook() = std::move(hook);
}

}  // namespace brevalt::app
