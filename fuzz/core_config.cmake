# The configuration loader: every layout's reader over hostile bytes.
veltran_add_fuzzer(core_config SOURCES "${CMAKE_CURRENT_LIST_DIR}/core_config.cpp" LIBS veltran_core)
