# The skin archive unpacker over minizip.
veltran_add_fuzzer(clocks_unzip SOURCES "${CMAKE_CURRENT_LIST_DIR}/clocks_unzip.cpp" LIBS veltran_skins Veltran::zlib)
