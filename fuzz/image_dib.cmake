# The packed-DIB reader behind CreateFromHANDLE (clipboard and global memory blocks).
veltran_add_fuzzer(image_dib SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_dib.cpp" LIBS veltran_image)
