# CArchive reading strings and numbers from hostile bytes.
veltran_add_fuzzer(afx_archive_strings SOURCES ${CMAKE_CURRENT_LIST_DIR}/afx_archive_strings.cpp LIBS afx_core)
