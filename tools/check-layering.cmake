# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The rules stand on their own: a file under game/ may include the standard
# library and other files of game/, nothing else of the project (records/,
# platform/, the windows, the server) and no Qt. Run by the build before
# game/ compiles: cmake -DROOT=<source folder> -P check-layering.cmake
file(GLOB_RECURSE sources ${ROOT}/game/*.h ${ROOT}/game/*.cpp)
set(faults "")
foreach(source IN LISTS sources)
  file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]*)\"")
      if(NOT CMAKE_MATCH_1 MATCHES "^game/")
        string(APPEND faults "\n  ${source}: ${line}")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<(Q[^>]*)>")
      string(APPEND faults "\n  ${source}: ${line}")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "game/ may include only game/ and the standard library:${faults}")
endif()
