# Icon decoding of hostile bytes, the entry chosen by the input itself.
veltran_add_fuzzer(image_ico SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_ico.cpp" LIBS veltran_image)
