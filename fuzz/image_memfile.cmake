veltran_add_fuzzer(image_memfile SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_memfile.cpp" LIBS veltran_image)
