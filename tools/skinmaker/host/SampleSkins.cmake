# Windows build: a host build of skinmaker and iconmaker (tools/skinmaker/host)
# draws the sample skins straight into this build's app/acs and app/dcs, and the
# alarm icons with their resource script into gen/icons, the Skin Browser's
# pictures into gen/skinbrowser, and lays out a local skin server's site in skinsite.
include(ExternalProject)
include("${PROJECT_SOURCE_DIR}/tools/drawing/drawnfiles.cmake")
list(TRANSFORM VELTRAN_ALARM_ICONS PREPEND "${CMAKE_BINARY_DIR}/gen/icons/" OUTPUT_VARIABLE _drawn_icons)
list(TRANSFORM VELTRAN_BROWSER_ART PREPEND "${CMAKE_BINARY_DIR}/gen/skinbrowser/" OUTPUT_VARIABLE _drawn_art)
ExternalProject_Add(host_skinmaker
  SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}"
  BINARY_DIR "${CMAKE_BINARY_DIR}/host-tools"
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
             "-DVELTRAN_SAMPLE_SKINS_DIR=${CMAKE_BINARY_DIR}/app"
             "-DVELTRAN_ICONS_DIR=${CMAKE_BINARY_DIR}/gen/icons"
             "-DVELTRAN_SKIN_SITE_DIR=${CMAKE_BINARY_DIR}/skinsite"
             "-DVELTRAN_BROWSER_ART_DIR=${CMAKE_BINARY_DIR}/gen/skinbrowser"
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target sample_skins program_icons skin_site browser_art
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS "${CMAKE_BINARY_DIR}/app/acs/Simple.acs" "${CMAKE_BINARY_DIR}/app/dcs/Red Digital.dcs"
                   "${CMAKE_BINARY_DIR}/gen/icons/icons.rc" ${_drawn_icons} ${_drawn_art}
                   "${CMAKE_BINARY_DIR}/skinsite/skins/acs/skins.inf")
