# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Run by CPack on the staged files before it packs them: removes the
# compilers' version notes (.comment) from the program and its libraries,
# as Debian's dh_strip does; CPack's own strip keeps them.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(COMMAND "${CPACK_VANTEL_OBJCOPY}" --remove-section=.comment "${file}"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
