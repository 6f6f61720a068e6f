# The EXIF directory walk alone, over blocks wrapped in a minimal stream.
veltran_add_fuzzer(image_exif SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_exif.cpp" LIBS veltran_image)
