// Brevalt: verifies a sealed bid file before a bid opening.
#include "app/brevalt_app.h"

int main(int argc, char** argv) {
  return brevalt::app::CBrevaltApp().Run(argc, argv);
}
