# PCX decoding of hostile bytes, and the encoder's round trip of arbitrary pictures.
veltran_add_fuzzer(image_pcx SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_pcx.cpp" LIBS veltran_image)
veltran_add_fuzzer(image_pcx_encode SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_pcx_encode.cpp" LIBS veltran_image)
