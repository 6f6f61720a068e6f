# URL splitting of the HTTP client.
veltran_add_fuzzer(skinbrowser_url SOURCES "${CMAKE_CURRENT_LIST_DIR}/skinbrowser_url.cpp" LIBS veltran_skinbrowser_core)
