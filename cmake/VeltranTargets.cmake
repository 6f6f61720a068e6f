# Helpers that give every target of the project the same shape.
include("${CMAKE_CURRENT_LIST_DIR}/VeltranNinjaDeps.cmake")

# veltran_product(<target>): warnings for code we ship.
function(veltran_product target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(VELTRAN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A Wine session of the run's own (display, prefix, wineserver) for the whole
# ctest run of the win32 build; another run on the machine has its own.
function(veltran_wine_fixture)
  if(NOT WIN32)
    return()
  endif()
  set(session "${CMAKE_BINARY_DIR}/wine-session")
  add_test(NAME wine.start COMMAND "${PROJECT_SOURCE_DIR}/tools/wine-session" start "${session}")
  add_test(NAME wine.stop COMMAND "${PROJECT_SOURCE_DIR}/tools/wine-session" stop "${session}")
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine LABELS win32)
  # "cleanup": tools/run-tests runs it when the tests are stopped halfway.
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine LABELS "win32;cleanup")
endfunction()

# veltran_test_locale(): every test of the build runs in the tests' one locale,
# however ctest is started: from the build's top folder or from a folder below
# it, where a developer who works on one folder's tests starts it. ctest reads
# the test files of the folders it runs before it starts any test, so each
# folder's reads the file that sets it. Called once after every folder is
# added: a folder added later, or a test registered by add_test rather than
# veltran_add_test, cannot miss it. support.test_locale fails a folder whose
# test file does not read it.
function(veltran_test_locale)
  veltran_folders_below("${PROJECT_SOURCE_DIR}" dirs)
  foreach(dir IN LISTS dirs)
    set_property(DIRECTORY "${dir}" APPEND PROPERTY TEST_INCLUDE_FILES
      "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/VeltranTestLocale.cmake")
  endforeach()
endfunction()

# veltran_test_command(<var> [OWN_SESSION] [GTEST | END_LINE <regex>] COMMAND ...)
# The command line that runs a test program through tools/run-test, which fails
# it unless it ran to its end (under Wine in the win32 build).
function(veltran_test_command var)
  cmake_parse_arguments(C "OWN_SESSION;GTEST;HOST" "END_LINE" "COMMAND" ${ARGN})
  set(cmd "${PROJECT_SOURCE_DIR}/tools/run-test")
  if(WIN32 AND NOT C_HOST)
    list(APPEND cmd --wine)
  endif()
  if(C_OWN_SESSION)
    list(APPEND cmd --own-session)
  endif()
  if(C_GTEST)
    list(APPEND cmd --gtest)
  elseif(C_END_LINE)
    list(APPEND cmd --end-line "${C_END_LINE}")
  endif()
  set(${var} ${cmd} -- ${C_COMMAND} PARENT_SCOPE)
endfunction()

# veltran_test_properties(<test> [OWN_SESSION] [GUI])
# Labels of a test, and in the win32 build its Wine session: the run's shared
# session, or one of its own that tools/run-test makes.
function(veltran_test_properties test)
  cmake_parse_arguments(W "OWN_SESSION;GUI" "" "" ${ARGN})
  if(NOT WIN32)
    set_tests_properties(${test} PROPERTIES LABELS native)
    return()
  endif()
  set(labels win32)
  if(W_GUI)
    list(APPEND labels gui)
  endif()
  set_tests_properties(${test} PROPERTIES LABELS "${labels}")
  if(NOT W_OWN_SESSION)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine
      ENVIRONMENT "VELTRAN_WINE_SESSION=${CMAKE_BINARY_DIR}/wine-session")
  endif()
endfunction()

# veltran_add_test(<name> SOURCES ... [LIBS ...] [GUI] [NATIVE_ONLY] [WIN32_ONLY] [OWN_SESSION] [TIMEOUT s])
# One test program per call, registered as one CTest test (a Wine start is costly).
# GUI tests need windows: they run in the win32 build only, in the run's Wine session,
# or, with OWN_SESSION, in one of their own where the focus and the pointer are theirs.
function(veltran_add_test name)
  cmake_parse_arguments(T "GUI;NATIVE_ONLY;WIN32_ONLY;OWN_SESSION" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(VELTRAN_FUZZ)
    return()
  endif()
  if(WIN32 AND T_NATIVE_ONLY)
    return()
  endif()
  if(NOT WIN32 AND (T_WIN32_ONLY OR T_GUI))
    return()
  endif()
  file(RELATIVE_PATH rel "${PROJECT_SOURCE_DIR}/tests" "${CMAKE_CURRENT_SOURCE_DIR}")
  string(REPLACE "/" "." group "${rel}")
  set(target "test_${group}_${name}")
  string(REPLACE "." "_" target "${target}")
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} veltran_test_support GTest::gtest)
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  set(flags)
  if(T_OWN_SESSION)
    list(APPEND flags OWN_SESSION)
  endif()
  veltran_test_command(cmd ${flags} GTEST COMMAND $<TARGET_FILE:${target}> --gtest_color=no)
  add_test(NAME ${group}.${name} COMMAND ${cmd})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${group}.${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_GUI)
    list(APPEND flags GUI)
  endif()
  veltran_test_properties(${group}.${name} ${flags})
endfunction()

# veltran_add_fuzzer(<name> SOURCES ... [LIBS ...])
# The fuzz build makes a libFuzzer binary; the native build makes a replay program
# that runs the seed corpus in fuzz/corpus/<name>, so seeds stay regression tests.
function(veltran_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  set(corpus "${PROJECT_SOURCE_DIR}/fuzz/corpus/${name}")
  if(VELTRAN_FUZZ)
    add_executable(fuzz_${name} ${F_SOURCES})
    target_link_libraries(fuzz_${name} PRIVATE ${F_LIBS})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  elseif(NOT WIN32)
    add_executable(fuzz_${name}_replay ${F_SOURCES} "${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp")
    target_link_libraries(fuzz_${name}_replay PRIVATE ${F_LIBS})
    veltran_test_command(cmd END_LINE "[0-9]+ passed, 0 failed" COMMAND $<TARGET_FILE:fuzz_${name}_replay> "${corpus}")
    add_test(NAME fuzz.${name} COMMAND ${cmd})
    veltran_test_properties(fuzz.${name})
  endif()
endfunction()

# veltran_folders_below(<dir> <var>): <dir> and every folder added under it.
function(veltran_folders_below dir var)
  set(dirs "${dir}")
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    veltran_folders_below("${sub}" more)
    list(APPEND dirs ${more})
  endforeach()
  set(${var} ${dirs} PARENT_SCOPE)
endfunction()

# veltran_targets_below(<dir> <var>): the targets that <dir> and the folders
# under it define (imported ones are not among them).
function(veltran_targets_below dir var)
  veltran_folders_below("${dir}" dirs)
  set(targets)
  foreach(each IN LISTS dirs)
    get_property(more DIRECTORY "${each}" PROPERTY BUILDSYSTEM_TARGETS)
    list(APPEND targets ${more})
  endforeach()
  set(${var} ${targets} PARENT_SCOPE)
endfunction()

# veltran_resources_wait_for(<maker>): a resource script may name what the
# host tools draw (icons, pictures), so every target built from one waits for
# <maker>. Run once after every folder is added: a new target cannot miss it.
function(veltran_resources_wait_for maker)
  veltran_targets_below("${PROJECT_SOURCE_DIR}" targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(target STREQUAL maker OR NOT type MATCHES "^(EXECUTABLE|MODULE_LIBRARY|SHARED_LIBRARY|STATIC_LIBRARY|OBJECT_LIBRARY)$")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    if("${sources}" MATCHES "\\.rc(;|$)")
      add_dependencies(${target} ${maker})
    endif()
  endforeach()
endfunction()
