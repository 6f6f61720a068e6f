# TGA decoding of hostile bytes, and the encoder's round trip of arbitrary pictures.
veltran_add_fuzzer(image_tga SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_tga.cpp" LIBS veltran_image)
veltran_add_fuzzer(image_tga_encode SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_tga_encode.cpp" LIBS veltran_image)
