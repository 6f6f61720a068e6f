# TIFF codec on libtiff.
target_sources(veltran_image PRIVATE "${CMAKE_CURRENT_LIST_DIR}/picture_tif.cpp")
target_link_libraries(veltran_image PUBLIC Veltran::tiff)
