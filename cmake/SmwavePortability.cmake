# Exact conversions between doubles and decimal text, on any standard library.
#
# The code reads doubles through smwave::portable::from_chars (src/portable/float_chars.hpp). Where the
# standard library has std::from_chars for doubles (libstdc++ 11 and later, libc++ 20 and later) that is
# what it calls; elsewhere the build finds the header-only fast_float library, which has the same
# interface, and defines SMWAVE_USE_FAST_FLOAT for every target. std::to_chars for doubles is used
# directly: every supported library has it (libstdc++ 11, libc++ 14), and a library without it is
# refused here with a clear message rather than deep inside a compile.
include(CheckCXXSourceCompiles)

set(CMAKE_REQUIRED_QUIET ON)
check_cxx_source_compiles([[
#include <charconv>
int main(int argc, char** argv) {
    double value = 0;
    const char* text = argv[argc - 1];
    return static_cast<int>(std::from_chars(text, text + 1, value).ec);
}]] SMWAVE_HAS_FLOAT_FROM_CHARS)

check_cxx_source_compiles([[
#include <charconv>
int main(int argc, char**) {
    char text[64];
    const double value = argc * 0.1;
    return static_cast<int>(std::to_chars(text, text + sizeof text, value).ptr - text) +
           static_cast<int>(std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3).ptr - text) +
           static_cast<int>(std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 3).ptr - text);
}]] SMWAVE_HAS_FLOAT_TO_CHARS)
unset(CMAKE_REQUIRED_QUIET)

if(NOT SMWAVE_HAS_FLOAT_TO_CHARS)
  message(FATAL_ERROR
    "This C++ standard library has no std::to_chars for doubles, which smwave needs to write its "
    "numbers exactly. Use GCC 11 or later with libstdc++, or clang with libc++ 14 or later "
    "(on macOS: Xcode 14.3 or later, or Homebrew's llvm).")
endif()

if(SMWAVE_HAS_FLOAT_FROM_CHARS)
  message(STATUS "Decimal text to double: std::from_chars")
else()
  find_path(SMWAVE_FAST_FLOAT_INCLUDE_DIR fast_float/fast_float.h HINTS /opt/homebrew/include /usr/local/include)
  if(NOT SMWAVE_FAST_FLOAT_INCLUDE_DIR)
    message(FATAL_ERROR
      "This C++ standard library has no std::from_chars for doubles, and the fast_float library that "
      "replaces it was not found. Install it (tools/install-deps; Debian: libfast-float-dev, "
      "Homebrew: fast_float) or give its folder with -DSMWAVE_FAST_FLOAT_INCLUDE_DIR=DIR.")
  endif()
  message(STATUS "Decimal text to double: fast_float from ${SMWAVE_FAST_FLOAT_INCLUDE_DIR}")
  include_directories(SYSTEM ${SMWAVE_FAST_FLOAT_INCLUDE_DIR})
  add_compile_definitions(SMWAVE_USE_FAST_FLOAT)
endif()
