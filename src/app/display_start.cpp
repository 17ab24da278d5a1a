#include "app/display_start.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace brevalt::app {
namespace {

// Messages Qt printed while the application was being created.
std::vector<std::string>& HeldMessages() {
  static std::vector<std::string> held;
  return held;
}

[[noreturn]] void EndWithoutDisplay(const std::string& cause) {
  std::fprintf(stderr, "brevalt: no display: %s (brevalt-cli verifies bids without one)\n",
               cause.c_str());
  std::fflush(stderr);
  std::_Exit(kExitNoDisplay);  // Qt is half set up: run no destructors
}

// During creation: a fatal message means the platform could not be opened;
// its cause is the first warning before it (Qt's fatal text only lists the
// plugins).
void HoldOrEnd(QtMsgType type, const QMessageLogContext&, const QString& message) {
  std::vector<std::string>& held = HeldMessages();
  if (type == QtFatalMsg) {
    const std::string cause =
        held.empty() ? message.section(QLatin1Char('\n'), 0, 0).toStdString() : held.front();
    EndWithoutDisplay(cause);
  }
  held.push_back(message.toStdString());
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
bool NamesPlatform(int argc, char** argv) {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    return true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
      return true;
  }
  return false;
}
#endif

}  // namespace

std::unique_ptr<QApplication> OpenDisplay(int& argc, char** argv) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  if (!NamesPlatform(argc, argv) && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    EndWithoutDisplay("neither DISPLAY nor WAYLAND_DISPLAY is set");
  }
#endif
  const QtMessageHandler previous = qInstallMessageHandler(HoldOrEnd);
  auto application = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  for (const std::string& message : HeldMessages())
    std::fprintf(stderr, "%s\n", message.c_str());
  HeldMessages().clear();
  return application;
}

}  // namespace brevalt::app
