# JPEG from memory, the program's own road, with its EXIF pass.
veltran_add_fuzzer(image_jpg SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_jpg.cpp" LIBS veltran_image)
