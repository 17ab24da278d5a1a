# Fails when a file under SOURCE_DIR outside tavik/ includes a header from one
# of the closed libraries' implementation folders (tavik/<folder>/...): the
# engine, record, log, cli and app speak to those libraries only through the
# C API headers directly in tavik/.
# Usage: cmake -DSOURCE_DIR=<src> -P check_seam.cmake
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "SOURCE_DIR is not a folder: ${SOURCE_DIR}")
endif()
file(GLOB_RECURSE sources LIST_DIRECTORIES false
  "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.hpp" "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.cc")
set(breaches "")
foreach(source IN LISTS sources)
  file(RELATIVE_PATH relative "${SOURCE_DIR}" "${source}")
  if(relative MATCHES "^tavik/")
    continue()
  endif()
  file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]tavik/[^/\">]+/")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    list(APPEND breaches "${relative}: ${line}")
  endforeach()
endforeach()
if(breaches)
  list(JOIN breaches "\n  " text)
  message(FATAL_ERROR "Included past the C API of the closed libraries:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files outside tavik/ include only its C API headers")
