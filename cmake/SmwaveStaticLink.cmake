# Static linking of the installed executables.
#
# A static executable starts without the dynamic loader's relocations, about 2 ms of a short run, so
# the executables are linked with -static wherever that works: the option SMWAVE_STATIC (on by default)
# asks for it, and it is used only when a small C++ program links statically here (many systems lack
# the static C or C++ libraries), never on macOS (which has no static system libraries) and never in a
# sanitizer build.
#
# Every executable the project installs calls, after add_executable:
#
#     smwave_executable_link(<target>)
#
# so that all of them follow the one decision (shown in the configure output); smwave-table alone is
# always linked dynamically, since the systems it is built on ship libmseed as a shared library only.
include(CheckCXXSourceCompiles)

option(SMWAVE_STATIC "Link the executables statically where a static link works" ON)

set(SMWAVE_LINK_STATIC OFF)
if(SMWAVE_STATIC AND NOT APPLE AND NOT SMWAVE_SANITIZE)
  set(CMAKE_REQUIRED_LINK_OPTIONS -static)
  set(CMAKE_REQUIRED_QUIET ON)
  check_cxx_source_compiles([[
#include <iostream>
#include <string>
int main(int argc, char** argv) {
    std::string name = argv[argc - 1];
    std::cout << name.size() << std::endl;
    return 0;
}]] SMWAVE_STATIC_LINK_WORKS)
  unset(CMAKE_REQUIRED_QUIET)
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
  if(SMWAVE_STATIC_LINK_WORKS)
    set(SMWAVE_LINK_STATIC ON)
  endif()
endif()
message(STATUS "Static executables: ${SMWAVE_LINK_STATIC}")

# Links <target> statically when the decision above says so.
function(smwave_executable_link target)
  if(SMWAVE_LINK_STATIC)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()
