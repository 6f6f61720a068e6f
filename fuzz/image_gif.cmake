# GIF decoding of hostile bytes (first, second and last frame) and the
# encoder's round trip of arbitrary pictures.
veltran_add_fuzzer(image_gif SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_gif.cpp" LIBS veltran_image)
veltran_add_fuzzer(image_gif_encode SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_gif_encode.cpp" LIBS veltran_image)
