# Third-party libraries as imported targets: Veltran::jpeg, Veltran::png,
# Veltran::tiff, Veltran::openjp2, Veltran::zlib, Veltran::minizip and
# GTest::gtest, GTest::gtest_main, GTest::gmock (GTest::gmock_main too).
# Natively they come from Debian's -dev packages; for Windows from the static
# prefix that tools/setup.sh builds (VELTRAN_MINGW_PREFIX).
include_guard(GLOBAL)

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(VELTRAN_MINGW_PREFIX "$ENV{VELTRAN_MINGW_PREFIX}" CACHE PATH
      "Static Windows libraries built by tools/setup.sh (tools/setup.sh --print-prefix)")
  set(_veltran_fix "run tools/setup.sh, then configure with -DVELTRAN_MINGW_PREFIX=$(tools/setup.sh --print-prefix)")
  if(NOT VELTRAN_MINGW_PREFIX)
    message(FATAL_ERROR "VeltranDeps: VELTRAN_MINGW_PREFIX is not set: ${_veltran_fix}")
  endif()
  # .done is written last, so a prefix without it is a broken build.
  if(NOT EXISTS "${VELTRAN_MINGW_PREFIX}/.done")
    message(FATAL_ERROR "VeltranDeps: no finished Windows libraries in '${VELTRAN_MINGW_PREFIX}': ${_veltran_fix}")
  endif()

  # _veltran_static(<target> <lib name> <language> INCLUDES <dirs> [DEFINES <defs>] [LINKS <targets>])
  function(_veltran_static target lib lang)
    cmake_parse_arguments(A "" "" "INCLUDES;DEFINES;LINKS" ${ARGN})
    set(file "${VELTRAN_MINGW_PREFIX}/lib/lib${lib}.a")
    set(incs "")
    foreach(dir IN LISTS A_INCLUDES)
      list(APPEND incs "${VELTRAN_MINGW_PREFIX}/${dir}")
    endforeach()
    foreach(path IN ITEMS "${file}" ${incs})
      if(NOT EXISTS "${path}")
        message(FATAL_ERROR "VeltranDeps: ${path} is missing: ${_veltran_fix}")
      endif()
    endforeach()
    add_library(${target} STATIC IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES
      IMPORTED_LOCATION "${file}"
      IMPORTED_LINK_INTERFACE_LANGUAGES "${lang}"
      INTERFACE_INCLUDE_DIRECTORIES "${incs}"
      INTERFACE_COMPILE_DEFINITIONS "${A_DEFINES}"
      INTERFACE_LINK_LIBRARIES "${A_LINKS}")
  endfunction()

  # Dependencies are listed so the linker sees each archive after its users.
  _veltran_static(Veltran::zlib z C INCLUDES include)
  _veltran_static(Veltran::jpeg jpeg C INCLUDES include)
  _veltran_static(Veltran::png png16 C INCLUDES include LINKS Veltran::zlib)
  _veltran_static(Veltran::tiff tiff C INCLUDES include LINKS Veltran::jpeg Veltran::zlib)
  # Without OPJ_STATIC openjpeg.h declares dllimport symbols.
  _veltran_static(Veltran::openjp2 openjp2 C INCLUDES include/openjpeg-2.5 DEFINES OPJ_STATIC)
  # Both <minizip/unzip.h> and <unzip.h> work, as with Debian's minizip.pc.
  _veltran_static(Veltran::minizip minizip C INCLUDES include include/minizip LINKS Veltran::zlib)
  # gtest was built with Win32 primitives; users must agree on that.
  _veltran_static(GTest::gtest gtest CXX INCLUDES include DEFINES GTEST_HAS_PTHREAD=0)
  _veltran_static(GTest::gtest_main gtest_main CXX INCLUDES include LINKS GTest::gtest)
  _veltran_static(GTest::gmock gmock CXX INCLUDES include LINKS GTest::gtest)
  _veltran_static(GTest::gmock_main gmock_main CXX INCLUDES include LINKS GTest::gmock)
else()
  set(_veltran_fix "install Debian's development packages (tools/setup.sh does)")
  find_package(PkgConfig)
  find_package(ZLIB)
  find_package(JPEG)
  find_package(PNG)
  find_package(TIFF)
  find_package(GTest)
  if(PKG_CONFIG_FOUND)
    pkg_check_modules(VELTRAN_OPENJP2 QUIET IMPORTED_TARGET libopenjp2)
    pkg_check_modules(VELTRAN_MINIZIP QUIET IMPORTED_TARGET minizip)
  endif()
  foreach(t IN ITEMS ZLIB::ZLIB JPEG::JPEG PNG::PNG TIFF::TIFF PkgConfig::VELTRAN_OPENJP2
                     PkgConfig::VELTRAN_MINIZIP GTest::gtest GTest::gtest_main GTest::gmock)
    if(NOT TARGET ${t})
      message(FATAL_ERROR "VeltranDeps: ${t} not found: ${_veltran_fix}")
    endif()
  endforeach()

  function(_veltran_wrap target)
    add_library(${target} INTERFACE IMPORTED)
    set_target_properties(${target} PROPERTIES INTERFACE_LINK_LIBRARIES "${ARGN}")
  endfunction()
  _veltran_wrap(Veltran::zlib ZLIB::ZLIB)
  _veltran_wrap(Veltran::jpeg JPEG::JPEG)
  _veltran_wrap(Veltran::png PNG::PNG ZLIB::ZLIB)
  _veltran_wrap(Veltran::tiff TIFF::TIFF)
  _veltran_wrap(Veltran::openjp2 PkgConfig::VELTRAN_OPENJP2)
  # minizip.pc keeps zlib private, but users call zlib too.
  _veltran_wrap(Veltran::minizip PkgConfig::VELTRAN_MINIZIP ZLIB::ZLIB)
endif()
