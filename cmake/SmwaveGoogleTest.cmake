# GoogleTest for the test programs: the targets GTest::gtest, GTest::gtest_main, GTest::gmock and
# GTest::gmock_main.
#
# Normally the installed GoogleTest (find_package). When SMWAVE_GTEST_SOURCE_DIR names a GoogleTest
# source tree (Debian's libgtest-dev ships one in /usr/src/googletest), it is built here instead with
# this build's compiler and flags: a build against another C++ standard library (the libcxx preset)
# cannot link the installed one, which was built for libstdc++. A build whose standard library is
# libc++ (CXX=clang++ CXXFLAGS=-stdlib=libc++, whatever the preset) takes that source tree by itself.
set(SMWAVE_GTEST_SOURCE_DIR "" CACHE PATH "GoogleTest source tree to build with the tests (empty: use the installed GoogleTest)")

include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_QUIET ON)
check_cxx_source_compiles([[
#include <version>
#ifndef _LIBCPP_VERSION
#error the standard library is not libc++
#endif
int main() { return 0; }]] SMWAVE_STANDARD_LIBRARY_IS_LIBCXX)
unset(CMAKE_REQUIRED_QUIET)
if(SMWAVE_STANDARD_LIBRARY_IS_LIBCXX AND NOT SMWAVE_GTEST_SOURCE_DIR)
  set(SMWAVE_GTEST_SOURCE_DIR /usr/src/googletest)
  message(STATUS "GoogleTest: built from ${SMWAVE_GTEST_SOURCE_DIR} for libc++")
endif()

if(SMWAVE_GTEST_SOURCE_DIR)
  if(NOT EXISTS ${SMWAVE_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR
      "The tests need GoogleTest built from its sources (for libc++, or as asked with "
      "SMWAVE_GTEST_SOURCE_DIR), and ${SMWAVE_GTEST_SOURCE_DIR} holds none (Debian: install "
      "libgtest-dev, which puts them in /usr/src/googletest; else give their folder with "
      "-DSMWAVE_GTEST_SOURCE_DIR=DIR).")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${SMWAVE_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Its own CMake files name the targets GTest::gtest and so on.
else()
  find_package(GTest QUIET)
  if(NOT GTest_FOUND)
    message(FATAL_ERROR
      "GoogleTest was not found, and the tests need it. Install it with tools/install-deps "
      "(Debian: libgtest-dev libgmock-dev; Homebrew: googletest), or build the tools alone without "
      "tests: cmake --workflow --preset build.")
  endif()
endif()
