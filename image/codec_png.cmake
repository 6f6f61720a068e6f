# PNG codec on libpng.
target_sources(veltran_image PRIVATE "${CMAKE_CURRENT_LIST_DIR}/picture_png.cpp")
target_link_libraries(veltran_image PUBLIC Veltran::png)
