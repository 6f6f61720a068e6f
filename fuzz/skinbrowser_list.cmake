# The skin server's list and the names it hands the file system.
veltran_add_fuzzer(skinbrowser_list SOURCES "${CMAKE_CURRENT_LIST_DIR}/skinbrowser_list.cpp" LIBS veltran_skinbrowser_core)
