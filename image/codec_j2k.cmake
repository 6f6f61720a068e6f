# JPEG-2000 family codec on OpenJPEG, with our own PGX, PNM and Sun-raster
# readers and writers over the same component planes.
target_sources(veltran_image PRIVATE
  "${CMAKE_CURRENT_LIST_DIR}/picture_planes.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/picture_pgx.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/picture_pnm.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/picture_ras.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/picture_j2k.cpp")
target_link_libraries(veltran_image PUBLIC Veltran::openjp2)
