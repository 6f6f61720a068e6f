# WBMP decoding of hostile bytes.
veltran_add_fuzzer(image_wbmp SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_wbmp.cpp" LIBS veltran_image)
