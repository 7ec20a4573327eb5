# Clean builds of this project were dominated by parsing the Qt and
# GoogleTest headers once per source file. A unity build compiles each
# target's sources as one unit (RENDARO_UNITY_BATCH_SIZE sets smaller batches),
# which parses them once per target; a file that must stay on its own (one
# whose system headers define macros that break the others) is marked with
# rendaro_unity_exclude(). ccache, when installed, caches the objects across
# build trees.

option(RENDARO_UNITY_BUILD "Compile each target's sources in batches" ON)
set(RENDARO_UNITY_BATCH_SIZE 0 CACHE STRING "Sources per unity batch (0: each target in one batch)")
if(RENDARO_UNITY_BUILD)
  set(CMAKE_UNITY_BUILD ON)
  set(CMAKE_UNITY_BUILD_BATCH_SIZE ${RENDARO_UNITY_BATCH_SIZE})
  # A source file included into a batch is no longer the main file, so GCC
  # takes its classes that hold types of an anonymous namespace for classes
  # of a header.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-subobject-linkage)
  endif()
endif()

find_program(RENDARO_CCACHE ccache)
if(RENDARO_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${RENDARO_CCACHE})
endif()

# rendaro_unity_exclude(TARGET FILE...): FILEs (relative to the calling
# folder) are compiled on their own.
function(rendaro_unity_exclude target)
  foreach(file ${ARGN})
    set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${file} TARGET_DIRECTORY ${target}
                                PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endforeach()
endfunction()
