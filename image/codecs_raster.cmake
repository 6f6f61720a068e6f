# Codecs of our own for the raster formats (no outside library); the metafile
# codec plays through GDI and exists in the Windows build only.
target_sources(veltran_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/picture_gif.cpp
)
