# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Fails unless the library's dynamic symbol table defines exactly the twelve
# effects and the library names the C library among the libraries it needs.
# Run as: cmake -DNM=<nm> -DREADELF=<readelf> -DLIBRARY=<path> -P check_exports.cmake
cmake_policy(VERSION 3.25)
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(found "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]+ [A-Za-z] ([^ @]+)")
    list(APPEND found ${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT found)
set(expected AddBlend AlphaBlend AlphaBlt Blur BlurFast GrayScale HalfBlend InvertBlt RGBOperation RotateBlt
  SpriteBlt Tunnel)
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exported: ${found}\nexpected: ${expected}")
endif()
message(STATUS "exports: ${found}")

execute_process(COMMAND ${READELF} -d ${LIBRARY}
  OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "readelf failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]+\\]" needed_lines "${dynamic}")
set(needed "")
foreach(line IN LISTS needed_lines)
  string(REGEX REPLACE ".*\\[(.*)\\]" "\\1" library "${line}")
  list(APPEND needed ${library})
endforeach()
if(NOT "libc.so.6" IN_LIST needed)
  message(FATAL_ERROR "the library does not name the C library; it needs: ${needed}")
endif()
message(STATUS "needs: ${needed}")
