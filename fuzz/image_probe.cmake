veltran_add_fuzzer(image_probe SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_probe.cpp" LIBS veltran_image)
