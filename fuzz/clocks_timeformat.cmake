# The digital clock's format language over hostile formats and clock readings.
veltran_add_fuzzer(clocks_timeformat SOURCES "${CMAKE_CURRENT_LIST_DIR}/clocks_timeformat.cpp" LIBS veltran_skins)
