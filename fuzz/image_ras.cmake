# Sun raster: our reader, its writer and the picture object.
veltran_add_fuzzer(image_ras SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_ras.cpp" LIBS veltran_image)
