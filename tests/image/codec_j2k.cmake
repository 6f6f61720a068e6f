# The JPEG-2000 family codec against OpenJPEG itself, and our PGX, PNM and
# Sun-raster readers and writers.
veltran_add_test(j2k
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/j2k_test.cpp ${CMAKE_CURRENT_LIST_DIR}/pnm_pgx_ras_test.cpp
  LIBS veltran_image Veltran::openjp2)
