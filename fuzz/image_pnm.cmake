# PNM (P1-P6): our reader, its writer and the picture object.
veltran_add_fuzzer(image_pnm SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_pnm.cpp" LIBS veltran_image)
