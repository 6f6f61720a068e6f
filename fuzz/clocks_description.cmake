# The fields of a skin description.
veltran_add_fuzzer(clocks_description SOURCES "${CMAKE_CURRENT_LIST_DIR}/clocks_description.cpp" LIBS veltran_skins)
