# Our own raster codecs: GIF, TGA, PCX, ICO, WBMP; the metafile codec needs GDI.
veltran_add_test(raster
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/gif_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tga_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pcx_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ico_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wbmp_test.cpp
  LIBS veltran_image)
veltran_add_test(metafile SOURCES ${CMAKE_CURRENT_LIST_DIR}/wmf_test.cpp LIBS veltran_image WIN32_ONLY)
