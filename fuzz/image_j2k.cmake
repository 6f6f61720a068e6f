# JP2 and J2K through the picture object, with a lossless round trip.
veltran_add_fuzzer(image_j2k SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_j2k.cpp" LIBS veltran_image)
