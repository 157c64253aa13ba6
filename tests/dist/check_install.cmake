# Installs the build into a fresh prefix and checks that the program and the
# files it looks for beside itself arrive side by side.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DWITH_PROGRAM=ON|OFF -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
set(expected History.txt Copyrights.txt Languages/sorvik.pot Languages/sorvik.de.po
    Languages/sorvik.he.po Languages/Flags/de.png Languages/Flags/il.png
    Languages/LCLStrConsts/lclstrconsts.de.po Languages/LCLStrConsts/lclstrconsts.he.po)
if(WITH_PROGRAM)
  list(APPEND expected sorvik${CMAKE_EXECUTABLE_SUFFIX})
endif()
foreach(f IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "missing after install: ${f}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
