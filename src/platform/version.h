// The version of the whole project, as the top-level CMake project names it.
#ifndef BREVALT_PLATFORM_VERSION_H
#define BREVALT_PLATFORM_VERSION_H

namespace brevalt {

// "MAJOR.MINOR.PATCH"; never null.
const char* BrevaltVersion();

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_VERSION_H
