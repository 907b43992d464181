# cmake -DTEMPLATE=<file> -DOUTPUT=<file> -DLAST=<file> [-DGAME=<path>] [-DMAPC=<path>] -P write_unless_edited.cmake
#
# Writes OUTPUT from TEMPLATE (@GAME@ and @MAPC@ replaced) unless someone has
# edited OUTPUT since it was last written: LAST keeps the text last written,
# and OUTPUT is rewritten only while it is missing or still that text. The
# editor saves a designer's changes to its profiles into these very files.

# Current policies: under the old ones a quoted "@GAME@" below would be read
# as a variable reference, and nothing would be replaced.
cmake_minimum_required(VERSION 3.20)

foreach(var TEMPLATE OUTPUT LAST)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "write_unless_edited: ${var} is not set")
  endif()
endforeach()
file(READ "${TEMPLATE}" text)
string(REPLACE "@GAME@" "${GAME}" text "${text}")
string(REPLACE "@MAPC@" "${MAPC}" text "${text}")

# Missing, or still the text last written: written. Already the text to
# write: left alone (and recorded as written). Anything else is an edit, or
# a file of unknown origin (no record of the last text), and is kept.
set(write_output TRUE)
set(record_text TRUE)
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" current)
  set(last "")
  if(EXISTS "${LAST}")
    file(READ "${LAST}" last)
  endif()
  if(current STREQUAL text)
    set(write_output FALSE)
    if(last STREQUAL text)
      set(record_text FALSE)
    endif()
  elseif(NOT current STREQUAL last)
    set(write_output FALSE)
    set(record_text FALSE)
    message(STATUS "${OUTPUT} was edited: kept as it is")
  endif()
endif()
if(write_output)
  file(WRITE "${OUTPUT}" "${text}")
endif()
if(record_text)
  file(WRITE "${LAST}" "${text}")
endif()
