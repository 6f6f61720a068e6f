# Sampling, rotation, resampling and cropping (portable), the packed-DIB
# reader, and the exchange with GDI (Windows only).
target_sources(veltran_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/picture_interp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_rotate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_resample.cpp
)
target_sources(veltran_image PRIVATE ${CMAKE_CURRENT_LIST_DIR}/dibparse.cpp)
if(WIN32)
  target_sources(veltran_image PRIVATE ${CMAKE_CURRENT_LIST_DIR}/picture_gdi_win.cpp)
  target_link_libraries(veltran_image PUBLIC gdi32 user32 msimg32)
endif()
