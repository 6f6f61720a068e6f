# JPEG codec and its EXIF reader on libjpeg(-turbo).
target_sources(veltran_image PRIVATE
  "${CMAKE_CURRENT_LIST_DIR}/picture_exif.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/picture_jpg.cpp")
target_link_libraries(veltran_image PUBLIC Veltran::jpeg)
