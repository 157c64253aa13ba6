# A unit with code for one system only is named ..._posix.cpp or
# ..._win32.cpp (sources and tests alike); the other system's file is left out.
function(sorvik_system_sources var)
  if(WIN32)
    list(FILTER ${var} EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER ${var} EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  set(${var} "${${var}}" PARENT_SCOPE)
endfunction()

# Each subsystem is one library made of every source in its folder, so that a
# new unit needs no edit here.
function(sorvik_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h")
  sorvik_system_sources(_src)
  if(NOT _src)
    return()
  endif()
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}/src" "${CMAKE_BINARY_DIR}/generated")
  if(ARGN STREQUAL "QT")
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# The sources of a test program in dir, into out; empty when there are none
# or when a library it links is not built.
function(sorvik_test_sources out name dir)
  set(${out} "" PARENT_SCOPE)
  file(GLOB _src CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h")
  sorvik_system_sources(_src)
  foreach(lib IN LISTS ARGN)
    if(NOT TARGET ${lib})
      message(STATUS "tests ${name}: ${lib} not built yet, skipped")
      return()
    endif()
  endforeach()
  set(${out} "${_src}" PARENT_SCOPE)
endfunction()

# One test program per folder of tests/, discovered by CTest.
# Extra arguments are the libraries it links. Qt test programs get the
# offscreen platform and a QApplication from tests/support/qt_main.cpp;
# FRAMELESS gives their windows no frame, so that a window's bounds and its
# frame's are the same.
function(sorvik_tests name dir)
  cmake_parse_arguments(T "QT;FRAMELESS" "" "LIBS" ${ARGN})
  sorvik_test_sources(_src ${name} ${dir} ${T_LIBS})
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/src" "${CMAKE_SOURCE_DIR}/tests")
  target_compile_definitions(${name} PRIVATE SORVIK_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  if(T_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_sources(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests/support/qt_main.cpp")
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Widgets Qt6::Test GTest::gtest GTest::gmock)
    set(_env "QT_QPA_PLATFORM=offscreen")
    if(T_FRAMELESS)
      set(_env "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_SOURCE_DIR}/tests/support/offscreen_frameless.json")
    endif()
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
    set(_env "")
  endif()
  if(CMAKE_CROSSCOMPILING)
    # Each start under the emulator costs; a few shards of the whole program
    # run side by side instead of one start per test.
    foreach(shard RANGE 3)
      add_test(NAME ${name}.shard${shard} COMMAND ${name})
      set_tests_properties(${name}.shard${shard} PROPERTIES
        ENVIRONMENT "GTEST_TOTAL_SHARDS=4;GTEST_SHARD_INDEX=${shard};${SORVIK_CROSS_TEST_ENV}"
        LABELS ${name})
    endforeach()
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${_env}" LABELS ${name})
  endif()
endfunction()

# A Qt test program that needs a real X server: CTest starts it once under
# xvfb-run with the xcb platform, so focus, modifier keys, the clipboard and
# window placement are the X server's own. Its tests are listed only with
# --gtest_list_tests (headless), never discovered one by one: one X server
# for the whole program. MAIN names a main() of the program's own in place
# of tests/support/qt_main.cpp.
function(sorvik_x11_tests name dir)
  cmake_parse_arguments(T "" "TIMEOUT;MAIN" "LIBS" ${ARGN})
  sorvik_test_sources(_src ${name} ${dir} ${T_LIBS})
  if(NOT _src)
    return()
  endif()
  find_program(SORVIK_XVFB_RUN xvfb-run)
  if(NOT SORVIK_XVFB_RUN)
    message(STATUS "tests ${name}: xvfb-run not found, skipped")
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(NOT T_MAIN)
    set(T_MAIN "${CMAKE_SOURCE_DIR}/tests/support/qt_main.cpp")
  endif()
  add_executable(${name} ${_src} "${T_MAIN}")
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/src" "${CMAKE_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Widgets Qt6::Test GTest::gtest GTest::gmock)
  add_test(NAME ${name}
           COMMAND "${SORVIK_XVFB_RUN}" -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=xcb"
    TIMEOUT ${T_TIMEOUT}
    LABELS ${name})
endfunction()

# Links target to the pkg-config modules found under prefix, with the
# definitions that tell its code they are there; nothing when they are not
# installed, so the build goes on without them.
function(sorvik_link_optional_modules target scope prefix)
  cmake_parse_arguments(ARG "" "" "MODULES;DEFINES" ${ARGN})
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(${prefix} QUIET IMPORTED_TARGET GLOBAL ${ARG_MODULES})
  endif()
  if(${prefix}_FOUND)
    target_link_libraries(${target} ${scope} PkgConfig::${prefix})
    target_compile_definitions(${target} PRIVATE ${ARG_DEFINES})
  endif()
endfunction()
