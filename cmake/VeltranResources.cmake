# How resource scripts are compiled. The root CMakeLists.txt includes it in the
# Windows build, and the small project of tools.rc_path_names does too, so that
# test compiles a script in a folder with an odd name as the build does.
#
# Scripts include each other from res/ and the icons the build draws into
# gen/icons; every target built from a script waits for them
# (veltran_resources_wait_for, at the end). Our preprocessor writes the
# dependency file: what a script includes and the files it embeds.
include_guard(DIRECTORY)
enable_language(RC)

# A word for the shell that ninja runs the command in. windres quotes what it
# hands on to the preprocessor itself, so one level is enough.
function(_veltran_rc_word var text)
  string(REPLACE "'" "'\\''" text "${text}")
  set(${var} "'${text}'" PARENT_SCOPE)
endfunction()

get_filename_component(_veltran_rc_preprocess "${CMAKE_CURRENT_LIST_DIR}/../tools/rc-preprocess" ABSOLUTE)
_veltran_rc_word(_veltran_rc_preprocessor "--preprocessor=${_veltran_rc_preprocess}")
_veltran_rc_word(_veltran_rc_compiler "--preprocessor-arg=--compiler=${CMAKE_C_COMPILER}")
string(JOIN " " CMAKE_DEPFILE_FLAGS_RC "${_veltran_rc_preprocessor}" "${_veltran_rc_compiler}"
  "--preprocessor-arg=-MD --preprocessor-arg=-MT --preprocessor-arg=<DEP_TARGET>"
  "--preprocessor-arg=-MF --preprocessor-arg=<DEP_FILE>")

# windres hands its include folders on to the preprocessor in a shell command,
# escaping nothing but spaces and parentheses: a folder named with an
# apostrophe would break it. So a script finds what it includes through
# folders named from the build folder, where ninja runs the compile (no name
# above the checkout is in them), and the targets' own include folders, which
# CMake names in full, stay off the resource compiler's command.
include("${CMAKE_CURRENT_LIST_DIR}/VeltranNinjaDeps.cmake")
set(_veltran_rc_launcher "")
if(VELTRAN_DEPS_LAUNCHER)
  _veltran_rc_word(_veltran_rc_launcher "${VELTRAN_DEPS_LAUNCHER}")
endif()
set(CMAKE_RC_COMPILE_OBJECT "${_veltran_rc_launcher} <CMAKE_RC_COMPILER> -O coff <DEFINES> <FLAGS> <SOURCE> <OBJECT>")
foreach(_veltran_rc_dir "${PROJECT_SOURCE_DIR}/res" "${PROJECT_BINARY_DIR}/gen/icons" "${PROJECT_BINARY_DIR}/gen")
  file(RELATIVE_PATH _veltran_rc_dir "${PROJECT_BINARY_DIR}" "${_veltran_rc_dir}")
  add_compile_options("$<$<COMPILE_LANGUAGE:RC>:-I${_veltran_rc_dir}>")
endforeach()
