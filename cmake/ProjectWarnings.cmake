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

# A unit test executable registered with CTest (under Wine when cross-compiling).
function(pelmora_test target)
  add_executable(${target} ${ARGN})
  pelmora_warnings(${target})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  if(WIN32)
    target_link_options(${target} PRIVATE -static)
    # GCC 12's optimiser reports overlaps, out-of-bounds indices and overflowing writes inside
    # inlined std::string and std::vector code that the tests' plain concatenations and copies
    # never reach; the native build of the same tests keeps these warnings.
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-array-bounds -Wno-stringop-overflow)
  endif()
  add_test(NAME ${target} COMMAND ${target})
endfunction()
