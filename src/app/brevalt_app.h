// The application: starts the main dialog and ends when it closes.
#ifndef BREVALT_APP_BREVALT_APP_H
#define BREVALT_APP_BREVALT_APP_H

namespace brevalt::app {

class CBrevaltApp {
 public:
  // Answers --help and --version on stdout; otherwise opens the display
  // (without one: one line on stderr, status 2), loads Qt's translations,
  // runs the main dialog modally (with FILE chosen when one was given) and
  // returns the process exit code once it closed. Status 2 for a command
  // line that cannot be used (one line on stderr). Call once, on the main
  // thread.
  int Run(int argc, char** argv);
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_BREVALT_APP_H
