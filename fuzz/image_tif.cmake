# TIFF decoding on libtiff over a memory file.
veltran_add_fuzzer(image_tif SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_tif.cpp" LIBS veltran_image)
