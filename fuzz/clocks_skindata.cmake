# The analog and digital skin stream readers with their picture decoding.
veltran_add_fuzzer(clocks_skindata SOURCES "${CMAKE_CURRENT_LIST_DIR}/clocks_skindata.cpp" LIBS veltran_skins)
