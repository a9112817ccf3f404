# Folders that add themselves: every folder directly below <parent> that has a CMakeLists.txt of its
# own is added, in name order. The companions' sources, tests, fuzz targets and benchmarks each live
# in such a folder.
#
#     smwave_add_folders(${CMAKE_CURRENT_SOURCE_DIR}/src)
function(smwave_add_folders parent)
  file(GLOB lists CONFIGURE_DEPENDS ${parent}/*/CMakeLists.txt)
  list(SORT lists)
  foreach(list_file ${lists})
    get_filename_component(folder ${list_file} DIRECTORY)
    add_subdirectory(${folder})
  endforeach()
endfunction()
