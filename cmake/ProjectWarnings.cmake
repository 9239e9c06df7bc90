# Warnings for the project's own targets (not for third-party code such as GoogleTest).
function(pelmora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# A portable static library: standard C++ only, built both natively and for Windows.
function(pelmora_portable_library target)
  add_library(${target} STATIC ${ARGN})
  pelmora_warnings(${target})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# The flags every unit test's own sources are compiled with.
function(pelmora_test_flags target)
  pelmora_warnings(${target})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  if(WIN32)
    # The code under test is the release build of the libraries; the tests' own sources need no
    # optimiser, which would more than double their compile time. GCC 12's optimiser also reports
    # overlaps, out-of-bounds indices and overflowing writes inside inlined std::string and
    # std::vector code that the tests' plain concatenations and copies never reach; the native
    # build of the same tests keeps these warnings.
    target_compile_options(${target} PRIVATE -O0 -Wno-restrict -Wno-array-bounds
                                             -Wno-stringop-overflow)
  endif()
endfunction()

# A unit test executable registered with CTest (under Wine when cross-compiling). GoogleTest's
# headers are parsed once, into a header precompiled for every test.
function(pelmora_test target)
  if(NOT TARGET pelmora_test_pch)
    add_library(pelmora_test_pch OBJECT ${PROJECT_SOURCE_DIR}/tests/TestPch.cpp)
    pelmora_test_flags(pelmora_test_pch)
    target_precompile_headers(pelmora_test_pch PRIVATE <gmock/gmock.h> <gtest/gtest.h> <string>
                              <vector> <map> <functional> <memory> <algorithm>)
  endif()
  add_executable(${target} ${ARGN})
  pelmora_test_flags(${target})
  target_precompile_headers(${target} REUSE_FROM pelmora_test_pch)
  if(WIN32)
    target_link_options(${target} PRIVATE -static)
  endif()
  add_test(NAME ${target} COMMAND ${target})
  if(WIN32)
    set_tests_properties(${target} PROPERTIES RESOURCE_LOCK wine_shared_prefix)
  endif()
endfunction()
