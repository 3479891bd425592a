# Turns the title lists (titles/<folder>.txt, UTF-8, one title per line, display
# order) into a header of constexpr UTF-16 arrays, one per folder.
#   cmake -DTITLES_DIR=<dir> -DOUTPUT=<header> -P gentitles.cmake
# A title that could not stand as a file name, or that would break the literal,
# stops the build here rather than at run time.

if(NOT TITLES_DIR OR NOT OUTPUT)
  message(FATAL_ERROR "gentitles.cmake needs TITLES_DIR and OUTPUT")
endif()

file(GLOB lists RELATIVE "${TITLES_DIR}" "${TITLES_DIR}/*.txt")
list(SORT lists)
if(NOT lists)
  message(FATAL_ERROR "no title lists in ${TITLES_DIR}")
endif()

set(out "// Generated from catalog/titles by gentitles.cmake; edit the lists, not this file.\n")
string(APPEND out "#pragma once\n\n#include <string_view>\n\nnamespace kivora::generated {\n")

foreach(name IN LISTS lists)
  string(REGEX REPLACE "\\.txt$" "" folder "${name}")
  if(NOT folder MATCHES "^[A-Za-z]+$")
    message(FATAL_ERROR "${name}: a folder name is ASCII letters only")
  endif()
  file(READ "${TITLES_DIR}/${name}" content)
  string(REPLACE "\r" "" content "${content}")
  # List separators and brackets would be taken apart by CMake, backslash and
  # quote would end the literal; the other characters are excluded from file names.
  if(content MATCHES "[][;\\\\\"/:*?<>|\t]")
    message(FATAL_ERROR "${name}: a title holds a character that titles may not hold: '${CMAKE_MATCH_0}'")
  endif()
  string(REGEX REPLACE "\n$" "" content "${content}")
  string(REPLACE "\n" ";" titles "${content}")
  set(line 0)
  set(body "")
  foreach(title IN LISTS titles)
    math(EXPR line "${line} + 1")
    if(title STREQUAL "")
      message(FATAL_ERROR "${name}:${line}: empty title")
    endif()
    if(title MATCHES "^ " OR title MATCHES " $")
      message(FATAL_ERROR "${name}:${line}: leading or trailing space in \"${title}\"")
    endif()
    string(APPEND body "    u\"${title}\",\n")
  endforeach()
  string(APPEND out "\ninline constexpr std::u16string_view titles_${folder}[] = {\n${body}};\n")
endforeach()

string(APPEND out "\n} // namespace kivora::generated\n")

# Rewrite only on change, so an unchanged list does not rebuild its users.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
  if(previous STREQUAL out)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${out}")
