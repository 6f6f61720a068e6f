veltran_add_fuzzer(image_bmp SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_bmp.cpp" LIBS veltran_image)
