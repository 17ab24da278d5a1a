# BREVALT_DEB_ARCH: the Debian name of the architecture the programs are
# built for (amd64, arm64, ...). Cross builds ask about the toolchain's
# multiarch triplet: the machine running the build is not the one the
# package is for. Empty where dpkg-architecture is missing.
find_program(DPKG_ARCHITECTURE dpkg-architecture)
set(BREVALT_DEB_ARCH "")
if(DPKG_ARCHITECTURE)
  set(target_option)
  if(CMAKE_CROSSCOMPILING)
    if(NOT CMAKE_LIBRARY_ARCHITECTURE)
      message(FATAL_ERROR "cross build without CMAKE_LIBRARY_ARCHITECTURE: the package's "
                          "architecture cannot be known")
    endif()
    set(target_option -t ${CMAKE_LIBRARY_ARCHITECTURE})
  endif()
  execute_process(
    COMMAND ${DPKG_ARCHITECTURE} ${target_option} -qDEB_HOST_ARCH
    OUTPUT_VARIABLE BREVALT_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
endif()
