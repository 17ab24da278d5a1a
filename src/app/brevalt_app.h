// The application: starts the main dialog and ends when it closes.
#ifndef BREVALT_APP_BREVALT_APP_H
#define BREVALT_APP_BREVALT_APP_H

namespace brevalt::app {

class CBrevaltApp {
 public:
  // Creates the Qt application, runs the main dialog modally and returns the
  // process exit code once it closed. Call once, on the main thread.
  int Run(int argc, char** argv);
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_BREVALT_APP_H
