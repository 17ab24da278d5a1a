#include "app/app_command_line.h"

namespace brevalt::app {
namespace {

using Action = AppCommandLine::Action;

AppCommandLine UsageError(const QString& error) {
  return {Action::kUsageError, QString(), error};
}

}  // namespace

AppCommandLine ParseAppCommandLine(const QStringList& args) {
  const qsizetype end = args.indexOf(QStringLiteral("--"));
  const QStringList options = end < 0 ? args : args.first(end);
  if (options.contains(QStringLiteral("--help")) || options.contains(QStringLiteral("-h")))
    return {Action::kHelp, QString(), QString()};
  if (options.contains(QStringLiteral("--version")) || options.contains(QStringLiteral("-V")))
    return {Action::kVersion, QString(), QString()};
  QStringList files;
  for (const QString& word : options) {
    if (word.startsWith(QLatin1Char('-')))
      return UsageError(QStringLiteral("unknown option %1").arg(word));
    files.append(word);
  }
  if (end >= 0)
    files.append(args.mid(end + 1));
  if (files.size() > 1)
    return {Action::kRun, QString(), QString(), files};
  return {Action::kRun, files.value(0), QString()};
}

QString AppHelpText() {
  return QStringLiteral(
      "usage: brevalt [FILE]\n"
      "       brevalt FILE FILE... | FOLDER\n"
      "       brevalt --help | --version\n"
      "\n"
      "Opens the Brevalt dialog, which verifies one sealed bid file (.bidx) before a\n"
      "bid opening. With FILE the dialog starts with that file chosen, as if picked\n"
      "with \"选择\"; its name must have the form xxx_项目编号_包组号.tbs.bidx.\n"
      "With several files or a FOLDER (its *.bidx files) the many-bids window\n"
      "\"批量验证\" opens with them listed.\n"
      "\n"
      "  -h, --help     print this text and exit\n"
      "  -V, --version  print the version and exit\n"
      "\n"
      "Needs a display; brevalt-cli verifies bids without one. Settings are read from\n"
      "$XDG_CONFIG_HOME/TAVIK/qzv/Setting.ini (~/.config/TAVIK/qzv/ when unset).\n"
      "Exit status: 0 when the dialog was closed, 2 when the command line could not be\n"
      "used or no display could be opened.\n");
}

}  // namespace brevalt::app
