# GoogleTest for both worlds: Debian's library natively, and Debian's
# sources built with the cross compiler for the Windows programs, which CTest
# then runs under Wine.
if(NOT LMX_BUILD_TESTS)
  function(lmx_add_gtest)
  endfunction()
  function(lmx_include_test_dirs)
  endfunction()
  return()
endif()

enable_testing()

if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(LMX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine-run.sh ${LMX_WINEPREFIX})
else()
  find_package(GTest REQUIRED)
endif()

# lmx_add_gtest(<name> SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT s])
# One test program, registered as <name>.<flavour> (native, asan or wine).
function(lmx_add_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${name}.${LMX_FLAVOUR} COMMAND ${name} --gtest_color=no)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name}.${LMX_FLAVOUR} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${LMX_FLAVOUR};${ARG_LABELS}")
  lmx_share_display_if_gui(${name}.${LMX_FLAVOUR} "${ARG_LABELS}")
endfunction()

# Windows on one X display disturb each other's focus and foreground: tests
# labelled gui or e2e take the display one at a time.
function(lmx_share_display_if_gui test labels)
  if("gui" IN_LIST labels OR "e2e" IN_LIST labels)
    set_tests_properties(${test} PROPERTIES RESOURCE_LOCK x_display)
  endif()
endfunction()

# Pulls the tests of other build folders into this folder's CTest run.
function(lmx_include_test_dirs dirs)
  if(NOT dirs)
    return()
  endif()
  set(script ${CMAKE_BINARY_DIR}/IncludedTestDirs.cmake)
  file(WRITE ${script} "")
  foreach(dir IN LISTS dirs)
    file(APPEND ${script} "subdirs(\"${dir}\")\n")
  endforeach()
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()
