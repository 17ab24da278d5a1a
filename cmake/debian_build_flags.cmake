# Debian's build flags for the target architecture (dpkg-buildflags with
# every hardening feature: format checks, _FORTIFY_SOURCE, the strong stack
# protector, PIE, full RELRO and BIND_NOW), added in front of the build
# type's own flags. Shipped packages are built with them so that the
# binaries carry the distribution's hardening.
find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
if(NOT BREVALT_DEB_ARCH)
  message(FATAL_ERROR "Debian build flags need dpkg-architecture (dpkg-dev)")
endif()

function(brevalt_debian_flags name out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_HOST_ARCH=${BREVALT_DEB_ARCH}
            DEB_BUILD_MAINT_OPTIONS=hardening=+all ${DPKG_BUILDFLAGS} --get ${name}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  # The build type chooses optimisation and debug information (the package
  # is stripped); everything else is kept.
  string(REGEX REPLACE "(^| )-(g|O[0-9s]?)( |$)" " " flags "${flags}")
  string(REGEX REPLACE "(^| )-(g|O[0-9s]?)( |$)" " " flags "${flags}")
  string(STRIP "${flags}" flags)
  # -ffile-prefix-map names the folder cmake was started from; the source
  # folder is the one that keeps build paths out of the binaries.
  string(REGEX REPLACE "-ffile-prefix-map=[^ ]*" "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
                       flags "${flags}")
  set(${out} "${flags}" PARENT_SCOPE)
endfunction()

brevalt_debian_flags(CPPFLAGS cppflags)
brevalt_debian_flags(CFLAGS cflags)
brevalt_debian_flags(CXXFLAGS cxxflags)
brevalt_debian_flags(LDFLAGS ldflags)
set(CMAKE_C_FLAGS "${cppflags} ${cflags} ${CMAKE_C_FLAGS}")
set(CMAKE_CXX_FLAGS "${cppflags} ${cxxflags} ${CMAKE_CXX_FLAGS}")
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS "${ldflags} ${CMAKE_${kind}_LINKER_FLAGS}")
endforeach()
message(STATUS "Debian build flags for ${BREVALT_DEB_ARCH}: ${cppflags} ${cxxflags} ${ldflags}")
