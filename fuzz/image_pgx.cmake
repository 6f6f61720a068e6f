# PGX: our reader, its writer and the picture object.
veltran_add_fuzzer(image_pgx SOURCES "${CMAKE_CURRENT_LIST_DIR}/image_pgx.cpp" LIBS veltran_image)
