veltran_add_fuzzer(image_filters SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_filters.cpp" LIBS veltran_image)
