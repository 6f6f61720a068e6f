# The configuration loader: every layout's reader over hostile bytes.
veltran_add_fuzzer(app_config SOURCES "${CMAKE_CURRENT_LIST_DIR}/app_config.cpp" LIBS veltran_app_core)
