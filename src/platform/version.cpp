#include "platform/version.h"

// CMake defines BREVALT_VERSION for this file from project(... VERSION ...).
#ifndef BREVALT_VERSION
#error "BREVALT_VERSION must be defined by the build"
#endif

namespace brevalt {

const char* BrevaltVersion() {
  return BREVALT_VERSION;
}

}  // namespace brevalt
