// The command line of the brevalt program: brevalt [--help | --version] [FILE].
#ifndef BREVALT_APP_APP_COMMAND_LINE_H
#define BREVALT_APP_APP_COMMAND_LINE_H

#include <QString>
#include <QStringList>

namespace brevalt::app {

struct AppCommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  QString file;            // kRun: the bid file to choose at start; empty for none
  QString error;           // kUsageError: what could not be used
  QStringList batch = {};  // kRun: several files named, for the many-bids window
};

// Reads args (without the program name). --help / -h and --version / -V win
// wherever they stand before "--"; otherwise any other word starting with
// "-" is an error, "--" makes the next word a file, and at most one file is
// taken; several files go to batch instead. Pure.
AppCommandLine ParseAppCommandLine(const QStringList& args);

// What --help prints.
QString AppHelpText();

}  // namespace brevalt::app

#endif  // BREVALT_APP_APP_COMMAND_LINE_H
