# How resource scripts are compiled. The root CMakeLists.txt includes it in the
# Windows build, and the small project of tools.rc_space_path does too, so that
# test compiles a script in a folder whose name has a space as the build does.
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
add_compile_options("$<$<COMPILE_LANGUAGE:RC>:-I${PROJECT_SOURCE_DIR}/res>"
                    "$<$<COMPILE_LANGUAGE:RC>:-I${PROJECT_BINARY_DIR}/gen/icons>"
                    "$<$<COMPILE_LANGUAGE:RC>:-I${PROJECT_BINARY_DIR}/gen>")
