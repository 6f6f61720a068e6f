# Codecs of our own for the raster formats (no outside library); the metafile
# codec plays through GDI and exists in the Windows build only.
target_sources(veltran_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/picture_gif.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_ico.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_pcx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_tga.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_wbmp.cpp
)
if(WIN32)
  target_sources(veltran_image PRIVATE ${CMAKE_CURRENT_LIST_DIR}/picture_wmf_win.cpp)
endif()
