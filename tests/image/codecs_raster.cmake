# Our own raster codecs: GIF, TGA, PCX, ICO, WBMP; the metafile codec needs GDI.
veltran_add_test(raster
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/gif_test.cpp
  LIBS veltran_image)
