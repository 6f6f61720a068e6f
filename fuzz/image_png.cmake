# PNG decoding on libpng.
veltran_add_fuzzer(image_png SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_png.cpp" LIBS veltran_image Veltran::zlib)
