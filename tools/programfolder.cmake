# The files that ship beside Veltran.exe, made by the build from our own
# sources: the alarm sounds (synthesised with sox), the alarm icon library
# "icons.icl" (iconmaker's icons in a resource-only library) and the help file
# "Veltran.chm" (compiled with chmcmd from res/help).
set(_app "${CMAKE_BINARY_DIR}/app")
find_program(VELTRAN_SOX sox REQUIRED)
find_program(VELTRAN_CHMCMD chmcmd REQUIRED)

# Sounds: name and sox effects.
set(_sound_recipes
  "Chime|synth 1.5 pluck C6 fade 0 1.5 1.2"
  "Ding-dong|synth 0.6 pluck E5 : synth 0.9 pluck C5 fade 0 0.9 0.6"
  "Beep|synth 0.15 square 1000 vol 0.4 pad 0 0.1 repeat 2"
  "Bell|synth 2 sine 880 fade q 0.005 2 1.9 vol 0.6")
set(_wavs)
foreach(recipe IN LISTS _sound_recipes)
  string(REPLACE "|" ";" parts "${recipe}")
  list(GET parts 0 name)
  list(GET parts 1 effects)
  separate_arguments(effects UNIX_COMMAND "${effects}")
  set(wav "${_app}/sounds/${name}.wav")
  add_custom_command(OUTPUT "${wav}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${_app}/sounds"
    COMMAND "${VELTRAN_SOX}" -n -r 22050 -c 1 -b 16 "${wav}" ${effects}
    COMMENT "Synthesising sounds/${name}.wav"
    VERBATIM)
  list(APPEND _wavs "${wav}")
endforeach()
add_custom_target(program_sounds ALL DEPENDS ${_wavs})

# Help: chmcmd writes beside its project file, so compile a copy.
file(GLOB_RECURSE _help_sources "${PROJECT_SOURCE_DIR}/res/help/*")
set(_help_build "${CMAKE_BINARY_DIR}/help")
add_custom_command(OUTPUT "${_app}/Veltran.chm"
  COMMAND ${CMAKE_COMMAND} -E rm -rf "${_help_build}"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${PROJECT_SOURCE_DIR}/res/help" "${_help_build}"
  COMMAND ${CMAKE_COMMAND} -E chdir "${_help_build}" "${VELTRAN_CHMCMD}" veltran.hhp
  COMMAND ${CMAKE_COMMAND} -E copy "${_help_build}/Veltran.chm" "${_app}/Veltran.chm"
  DEPENDS ${_help_sources}
  COMMENT "Compiling Veltran.chm"
  VERBATIM)
add_custom_target(program_help ALL DEPENDS "${_app}/Veltran.chm")

# Icon library: a resource-only DLL named icons.icl.
set(_icons_dir "${CMAKE_BINARY_DIR}/gen/icons")
set(_icons_rc "${_icons_dir}/icons.rc")
set_source_files_properties("${_icons_rc}" PROPERTIES GENERATED TRUE)
add_library(icons_icl MODULE "${_icons_rc}")
set_target_properties(icons_icl PROPERTIES
  OUTPUT_NAME icons PREFIX "" SUFFIX ".icl" LINKER_LANGUAGE C
  LIBRARY_OUTPUT_DIRECTORY "${_app}" RUNTIME_OUTPUT_DIRECTORY "${_app}")
# No code at all: no entry point, no runtime.
target_link_options(icons_icl PRIVATE -nostdlib -Wl,-e,0 -s)
