# ninja 1.11 cannot read a dependency file that names a folder with an
# apostrophe, a quote or some other signs: in a checkout below such a folder
# every compile would find its files missing and run again at every build.
# There the compiles run through tools/ninja-deps, which names those files
# from the build folder instead. Elsewhere nothing changes.
include_guard(DIRECTORY)

get_filename_component(_veltran_ninja_deps "${CMAKE_CURRENT_LIST_DIR}/../tools/ninja-deps" ABSOLUTE)
if("${CMAKE_BINARY_DIR} ${_veltran_ninja_deps}" MATCHES "['\"&?;*^<>|`\t]")
  set(CMAKE_C_COMPILER_LAUNCHER "${_veltran_ninja_deps}")
  set(CMAKE_CXX_COMPILER_LAUNCHER "${_veltran_ninja_deps}")
  set(VELTRAN_DEPS_LAUNCHER "${_veltran_ninja_deps}")
else()
  set(VELTRAN_DEPS_LAUNCHER "")
endif()
